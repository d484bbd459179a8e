#include "app/win32/installer_download_win32.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace kestrum {
namespace {

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

class Internet {
  public:
    explicit Internet(HINTERNET handle) : handle_(handle) {}
    Internet(const Internet&) = delete;
    Internet& operator=(const Internet&) = delete;
    ~Internet() {
        if (handle_)
            WinHttpCloseHandle(handle_);
    }
    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

  private:
    HINTERNET handle_;
};

std::optional<std::uint64_t> AnnouncedLength(HINTERNET request) {
    wchar_t text[32] = {};
    DWORD size = sizeof(text);
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX,
                             text, &size, WINHTTP_NO_HEADER_INDEX) ||
        text[0] == L'\0') {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const wchar_t* c = text; *c; ++c) {
        if (*c < L'0' || *c > L'9')
            return std::nullopt;
        if (value > (UINT64_MAX - 9) / 10)
            return UINT64_MAX;  // beyond any limit
        value = value * 10 + static_cast<unsigned>(*c - L'0');
    }
    return value;
}

bool WriteAll(HANDLE file, const char* data, DWORD size) {
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(file, data, size, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

}  // namespace

InstallerDownload InstallerDownloader::Fail(std::string what) {
    failure_ = std::move(what);
    return stopped_ ? stopReason_.load() : InstallerDownload::kFailed;
}

void InstallerDownloader::Stop(InstallerDownload reason) {
    const std::lock_guard<std::mutex> guard(lock_);
    if (stopped_.exchange(true))
        return;
    stopReason_ = reason;
    // Closing the handle makes the call blocked on it fail at once.
    if (request_)
        WinHttpCloseHandle(request_);
}

bool InstallerDownloader::Track(HINTERNET request) {
    const std::lock_guard<std::mutex> guard(lock_);
    if (stopped_)
        return false;
    request_ = request;
    return true;
}

InstallerDownload InstallerDownloader::Run(const std::u16string& address,
                                           const std::u16string& file, const DownloadLimits& limits,
                                           const DownloadProgress& progress) {
    const HANDLE out = CreateFileW(Wide(file), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return Fail("cannot create the file: error " + std::to_string(GetLastError()));
    InstallerDownload result = Fetch(address, out, limits, progress);
    if (!CloseHandle(out) && result == InstallerDownload::kDone) {
        // Not Fail(): the download has ended, and with it any stop.
        failure_ = "cannot close the file: error " + std::to_string(GetLastError());
        result = InstallerDownload::kFailed;
    }
    if (result != InstallerDownload::kDone)
        DeleteFileW(Wide(file));
    return result;
}

InstallerDownload InstallerDownloader::Fetch(const std::u16string& address, HANDLE file,
                                             const DownloadLimits& limits,
                                             const DownloadProgress& progress) {
    // A call that failed because Stop() closed the handle failed for the stop's reason.
    const auto failed = [this](const char* what) {
        return Fail(std::string(what) + ": error " + std::to_string(GetLastError()));
    };
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(Wide(address), 0, 0, &parts) || parts.nScheme != INTERNET_SCHEME_HTTPS ||
        !parts.lpszHostName || parts.dwHostNameLength == 0) {
        return Fail("not an https address");
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path =
        parts.lpszUrlPath ? std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) : std::wstring();
    if (parts.lpszExtraInfo)
        path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty())
        path = L"/";

    // The system's proxy settings, as a browser would use them; older stacks know only the
    // stack's own default.
    HINTERNET opened = WinHttpOpen(L"Kestrum", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                   WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (!opened) {
        opened = WinHttpOpen(L"Kestrum", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                             WINHTTP_NO_PROXY_BYPASS, 0);
    }
    const Internet session(opened);
    if (!session)
        return failed("no session");
    const int connect = static_cast<int>(limits.connectTimeoutMs);
    const int stall = static_cast<int>(limits.stallTimeoutMs);
    WinHttpSetTimeouts(session.get(), connect, connect, stall, stall);
    const Internet connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection)
        return failed("no connection");
    const HINTERNET request =
        WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                           WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE);
    if (!request)
        return failed("no request");
    if (!Track(request)) {
        WinHttpCloseHandle(request);
        return Fail("stopped");
    }
    // From here on the handle is Stop()'s to close, or ours at the end.
    struct CloseAtEnd {
        InstallerDownloader& owner;
        ~CloseAtEnd() {
            const std::lock_guard<std::mutex> guard(owner.lock_);
            if (!owner.stopped_.exchange(true))
                WinHttpCloseHandle(owner.request_);
            owner.request_ = nullptr;
        }
    } closeAtEnd{*this};

    DWORD value = WINHTTP_OPTION_REDIRECT_POLICY_DISALLOW_HTTPS_TO_HTTP;
    WinHttpSetOption(request, WINHTTP_OPTION_REDIRECT_POLICY, &value, sizeof(value));
    value = static_cast<DWORD>(stall);
    WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &value, sizeof(value));
    if (!WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0,
                            0, 0) ||
        !WinHttpReceiveResponse(request, nullptr)) {
        return failed("no answer");
    }
    DWORD status = 0;
    DWORD statusSize = sizeof(status);
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize,
                             WINHTTP_NO_HEADER_INDEX) ||
        status != 200) {
        return Fail("HTTP status " + std::to_string(status));
    }
    const std::optional<std::uint64_t> total = AnnouncedLength(request);
    if (total && *total > limits.maxBytes)
        return Fail("announced beyond the size limit");

    const ULONGLONG deadline = GetTickCount64() + limits.totalTimeoutMs;
    std::uint64_t received = 0;
    std::vector<char> buffer(64 * 1024);
    progress(received, total);
    for (;;) {
        if (GetTickCount64() >= deadline)
            return Fail("took too long");
        // Only what has arrived is read, so that a slow server's bytes show as they come.
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request, &available))
            return failed("cut off");
        if (available == 0)
            break;
        DWORD read = 0;
        if (!WinHttpReadData(request, buffer.data(),
                             std::min<DWORD>(available, static_cast<DWORD>(buffer.size())), &read))
            return failed("cut off");
        if (read == 0)
            break;
        received += read;
        if (received > limits.maxBytes)
            return Fail("beyond the size limit");
        if (!WriteAll(file, buffer.data(), read))
            return failed("cannot write the file");
        progress(received, total);
    }
    // Fewer bytes than announced: the connection ended early.
    if (stopped_ || (total && received != *total)) {
        return Fail("ended after " + std::to_string(received) + " of " +
                    std::to_string(total.value_or(0)) + " bytes");
    }
    return InstallerDownload::kDone;
}

}  // namespace kestrum
