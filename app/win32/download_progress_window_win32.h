#pragma once

#include <string>

#include "app/runtime_install_flow.h"
#include "app/win32/installer_download_win32.h"

namespace kestrum {

// The window's class, for whoever looks for it on the screen.
inline constexpr wchar_t kDownloadWindowClass[] = L"MolvaneDownloadWindow";
// Its controls: the progress line and the cancel button.
inline constexpr int kDownloadProgressLabelId = 101;
inline constexpr int kDownloadCancelButtonId = IDCANCEL;

// Downloads `address` into `file` on a worker thread while a small window on this thread
// shows the bytes (and the share, when the length is known) and offers to cancel; messages
// keep flowing meanwhile. Cancelling, closing the window or Escape is the learner's
// cancellation. Returns how the download ended, once the worker has finished.
InstallerDownload DownloadWithProgressWindow(const std::u16string& address,
                                             const std::u16string& file,
                                             const DownloadLimits& limits);

}  // namespace kestrum
