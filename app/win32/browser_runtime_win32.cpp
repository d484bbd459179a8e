#include "app/win32/browser_runtime_win32.h"

#include <windows.h>
// after windows.h
#include <shellapi.h>

#include "app/runtime_install_flow.h"
#include "app/win32/download_progress_window_win32.h"
#include "browser/win32/runtime_version_win32.h"
#include "common/platform_profile.h"
#include "common/text_encoding.h"
#include "common/win32/known_paths_win32.h"
#include "common/win32/message_box_win32.h"

namespace kestrum {
namespace {

constexpr UINT kBoxFlags = MB_TOPMOST | MB_SETFOREGROUND;

std::u16string FromWide(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

class Win32RuntimeSteps final : public RuntimeInstallSteps {
  public:
    Win32RuntimeSteps(const std::function<std::u16string()>& address, const DownloadLimits& limits)
        : address_(address), limits_(limits) {}

    bool PrivateRuntimeAvailable() override {
        const std::wstring program = ProgramFolder();
        if (program.empty())
            return false;
        const std::u16string folder = FromWide(program) + u"\\WebView2Runtime";
        const DWORD attributes = GetFileAttributesW(Wide(folder + u"\\msedgewebview2.exe"));
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return false;
        return !AvailableBrowserVersion(folder).empty();
    }

    bool InstalledRuntimeAvailable() override { return !AvailableBrowserVersion(u"").empty(); }

    bool LearnerAcceptsInstall() override {
        return ShowRawMessageBox(nullptr,
                                 u"WebView2 Runtime is required to run this application.\n"
                                 u"يحتاج هذا التطبيق إلى WebView2 Runtime للتشغيل.\n\n"
                                 u"Would you like to install it now?",
                                 u"Molvane — Component Required",
                                 kBoxFlags | MB_ICONQUESTION | MB_YESNO) == IDYES;
    }

    void TellInstallStarts() override {
        ShowRawMessageBox(nullptr,
                          u"WebView2 Runtime is being downloaded and installed.\n"
                          u"جاري تحميل وتثبيت WebView2 Runtime.\n\nPlease wait...",
                          u"Installing...", kBoxFlags | MB_ICONINFORMATION);
    }

    InstallerDownload DownloadInstaller() override {
        const std::wstring temp = TempFolder();
        if (temp.empty())
            return InstallerDownload::kFailed;
        installer_ = FromWide(temp) + u"WebView2Installer.exe";
        return DownloadWithProgressWindow(address_(), installer_, limits_);
    }

    void TellDownloadFailed() override {
        ShowRawMessageBox(nullptr,
                          u"Failed to download WebView2 Runtime.\n"
                          u"Please check your internet connection.",
                          u"Download Error", kBoxFlags | MB_ICONERROR);
    }

    // The installer has its own window; the learner finishes it before we look again.
    void RunInstaller() override {
        SHELLEXECUTEINFOW execute{};
        execute.cbSize = sizeof(execute);
        execute.fMask = SEE_MASK_NOCLOSEPROCESS;
        execute.lpFile = Wide(installer_);
        execute.nShow = SW_SHOWNORMAL;
        if (ShellExecuteExW(&execute) && execute.hProcess) {
            WaitForSingleObject(execute.hProcess, INFINITE);
            CloseHandle(execute.hProcess);
        }
    }

    void DeleteInstaller() override { DeleteFileW(Wide(installer_)); }

    void TellInstallFailed() override {
        ShowRawMessageBox(
            nullptr, u"WebView2 installation may have failed.\nPlease restart the application.",
            u"Installation", kBoxFlags | MB_ICONWARNING);
    }

  private:
    const std::function<std::u16string()>& address_;
    DownloadLimits limits_;
    std::u16string installer_;
};

}  // namespace

bool EnsureBrowserRuntimeFrom(const std::function<std::u16string()>& installerAddress,
                              const DownloadLimits& limits) {
    Win32RuntimeSteps steps(installerAddress, limits);
    return EnsureRuntimeThrough(steps);
}

bool EnsureBrowserRuntime() {
    return EnsureBrowserRuntimeFrom(
        [] { return Utf8ToUtf16(ProfileText(ProfileItem::kRuntimeInstallerUrl)); },
        DownloadLimits{});
}

}  // namespace kestrum
