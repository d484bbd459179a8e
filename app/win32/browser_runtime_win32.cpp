#include "app/win32/browser_runtime_win32.h"

#include <windows.h>
// after windows.h
#include <shellapi.h>
#include <urlmon.h>

#include <string>

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

bool PrivateRuntimeAvailable() {
    const std::wstring program = ProgramFolder();
    if (program.empty())
        return false;
    const std::u16string folder = FromWide(program) + u"\\WebView2Runtime";
    const DWORD attributes = GetFileAttributesW(Wide(folder + u"\\msedgewebview2.exe"));
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    return !AvailableBrowserVersion(folder).empty();
}

bool InstalledRuntimeAvailable() {
    return !AvailableBrowserVersion(u"").empty();
}

}  // namespace

bool EnsureBrowserRuntime() {
    if (PrivateRuntimeAvailable() || InstalledRuntimeAvailable())
        return true;

    if (ShowRawMessageBox(nullptr,
                          u"WebView2 Runtime is required to run this application.\n"
                          u"يحتاج هذا التطبيق إلى WebView2 Runtime للتشغيل.\n\n"
                          u"Would you like to install it now?",
                          u"Molvane — Component Required",
                          kBoxFlags | MB_ICONQUESTION | MB_YESNO) != IDYES) {
        return false;
    }
    const std::u16string address = Utf8ToUtf16(ProfileText(ProfileItem::kRuntimeInstallerUrl));
    ShowRawMessageBox(nullptr,
                      u"WebView2 Runtime is being downloaded and installed.\n"
                      u"جاري تحميل وتثبيت WebView2 Runtime.\n\nPlease wait...",
                      u"Installing...", kBoxFlags | MB_ICONINFORMATION);

    const std::wstring temp = TempFolder();
    const std::u16string installer = FromWide(temp) + u"WebView2Installer.exe";
    if (temp.empty() ||
        FAILED(URLDownloadToFileW(nullptr, Wide(address), Wide(installer), 0, nullptr))) {
        ShowRawMessageBox(nullptr,
                          u"Failed to download WebView2 Runtime.\n"
                          u"Please check your internet connection.",
                          u"Download Error", kBoxFlags | MB_ICONERROR);
        return false;
    }

    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof(execute);
    execute.fMask = SEE_MASK_NOCLOSEPROCESS;
    execute.lpFile = Wide(installer);
    execute.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&execute) && execute.hProcess) {
        WaitForSingleObject(execute.hProcess, INFINITE);
        CloseHandle(execute.hProcess);
    }

    if (InstalledRuntimeAvailable()) {
        DeleteFileW(Wide(installer));
        return true;
    }
    ShowRawMessageBox(nullptr,
                      u"WebView2 installation may have failed.\nPlease restart the application.",
                      u"Installation", kBoxFlags | MB_ICONWARNING);
    return false;
}

}  // namespace kestrum
