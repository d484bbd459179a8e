#include "browser/win32/runtime_version_win32.h"

#include <windows.h>
// after windows.h
#include <objbase.h>

#include "browser/win32/runtime_loader_win32.h"

namespace kestrum {

std::u16string AvailableBrowserVersion(const std::u16string& browserFolder) {
    LPWSTR text = nullptr;
    const HRESULT result = GetAvailableCoreWebView2BrowserVersionString(
        browserFolder.empty() ? nullptr : reinterpret_cast<const wchar_t*>(browserFolder.c_str()),
        &text);
    std::u16string version;
    if (SUCCEEDED(result) && text)
        version = reinterpret_cast<const char16_t*>(text);
    CoTaskMemFree(text);
    return version;
}

}  // namespace kestrum
