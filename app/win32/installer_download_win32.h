#pragma once

#include <windows.h>
// after windows.h
#include <winhttp.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "app/runtime_install_flow.h"

namespace kestrum {

// Bounds of one installer download: a runtime's installer is a few megabytes (the offline
// one a few hundred), and a server that stops sending must not keep the learner waiting.
struct DownloadLimits {
    std::uint64_t maxBytes = 512ull * 1024 * 1024;
    DWORD connectTimeoutMs = 15000;
    // No byte for this long ends the download.
    DWORD stallTimeoutMs = 30000;
    // The whole download, however steadily a slow server sends.
    DWORD totalTimeoutMs = 30 * 60 * 1000;
};

// Bytes so far and the announced length, when the server gave one.
using DownloadProgress =
    std::function<void(std::uint64_t received, std::optional<std::uint64_t> total)>;

// One download of an HTTPS address into a file, on the calling thread, with the system's
// certificate validation; redirects are followed, but never from HTTPS to plain HTTP. Only a
// whole 200 answer within the limits counts; anything else leaves no file behind. Stop() may
// be called from any thread: a blocked call then returns at once. One download per object.
class InstallerDownloader {
  public:
    InstallerDownloader() = default;
    InstallerDownloader(const InstallerDownloader&) = delete;
    InstallerDownloader& operator=(const InstallerDownloader&) = delete;

    InstallerDownload Run(const std::u16string& address, const std::u16string& file,
                          const DownloadLimits& limits, const DownloadProgress& progress);

    // Ends the download as cancelled (the learner) or failed (a limit).
    void Stop(InstallerDownload reason);

    // Why the download did not finish, for the log.
    const std::string& Failure() const { return failure_; }

  private:
    InstallerDownload Fetch(const std::u16string& address, HANDLE file,
                            const DownloadLimits& limits, const DownloadProgress& progress);
    // Records why and returns the outcome: the stop's reason once stopped, else a failure.
    InstallerDownload Fail(std::string what);
    // Keeps the request handle where Stop() can close it; false when stopped already.
    bool Track(HINTERNET request);

    std::mutex lock_;
    HINTERNET request_ = nullptr;
    std::atomic<bool> stopped_{false};
    std::atomic<InstallerDownload> stopReason_{InstallerDownload::kCancelled};
    std::string failure_;
};

}  // namespace kestrum
