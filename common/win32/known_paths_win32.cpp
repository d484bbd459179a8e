#include "common/win32/known_paths_win32.h"

#include <windows.h>
// after windows.h
#include <shlobj.h>

#include "common/app_context.h"

namespace kestrum {
namespace {

constexpr DWORD kPathCapacity = MAX_PATH;  // 260 characters with the terminator

}  // namespace

std::wstring ModuleFilePath() {
    wchar_t buffer[kPathCapacity] = {};
    const DWORD length = GetModuleFileNameW(nullptr, buffer, kPathCapacity);
    // A full buffer means the name was cut (and, before Windows Vista, left unterminated).
    if (length == 0 || length >= kPathCapacity) {
        return {};
    }
    return std::wstring(buffer, length);
}

std::wstring FolderOfPath(std::wstring_view path) {
    const std::size_t cut = path.find_last_of(L"\\/");
    return std::wstring(cut == std::wstring_view::npos ? path : path.substr(0, cut));
}

std::wstring ProgramFolder() {
    const std::wstring module = ModuleFilePath();
    return module.empty() ? std::wstring() : FolderOfPath(module);
}

std::wstring TempFolder() {
    wchar_t buffer[kPathCapacity] = {};
    // Too small a buffer: the answer is the length needed, and nothing is written.
    const DWORD length = GetTempPathW(kPathCapacity, buffer);
    if (length == 0 || length >= kPathCapacity) {
        return {};
    }
    return std::wstring(buffer, length);
}

std::wstring LocalAppDataFolder() {
    wchar_t buffer[kPathCapacity] = {};
    if (FAILED(
            SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer))) {
        return {};
    }
    buffer[kPathCapacity - 1] = L'\0';
    return std::wstring(buffer);
}

std::wstring BrowserDataFolderBase() {
    const std::wstring localAppData = LocalAppDataFolder();
    // Without it the base would be "\Kestrum\...", a folder at the root of whatever drive
    // is current.
    if (localAppData.empty()) {
        return {};
    }
    const std::wstring productFolder =
        localAppData + L"\\" +
        std::wstring(AppContext::productName.begin(), AppContext::productName.end());
    CreateDirectoryW(productFolder.c_str(), nullptr);
    return productFolder + L"\\WebView2Data";
}

}  // namespace kestrum
