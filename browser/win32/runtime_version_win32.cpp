#include "browser/win32/runtime_version_win32.h"

#include <windows.h>

#include <vector>

namespace kestrum {
namespace {

// The runtime's entry in its updater's client list (the stable channel).
constexpr wchar_t kClientKey[] =
    L"Software\\Microsoft\\EdgeUpdate\\Clients\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";

std::u16string ReadVersionValue(HKEY root, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kClientKey, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return {};
    wchar_t buffer[64]{};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = 0;
    std::u16string value;
    if (RegQueryValueExW(key, L"pv", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
            ERROR_SUCCESS &&
        type == REG_SZ) {
        value = reinterpret_cast<const char16_t*>(buffer);
    }
    RegCloseKey(key);
    return value;
}

std::u16string FileProductVersion(const std::u16string& file) {
    const auto* path = reinterpret_cast<const wchar_t*>(file.c_str());
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0)
        return {};
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(path, 0, size, data.data()))
        return {};
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return {};
    }
    const std::string text = std::to_string(HIWORD(info->dwProductVersionMS)) + "." +
                             std::to_string(LOWORD(info->dwProductVersionMS)) + "." +
                             std::to_string(HIWORD(info->dwProductVersionLS)) + "." +
                             std::to_string(LOWORD(info->dwProductVersionLS));
    return std::u16string(text.begin(), text.end());
}

}  // namespace

bool IsInstalledVersion(const std::u16string& recorded) {
    return !recorded.empty() && recorded != u"0.0.0.0";
}

std::u16string AvailableBrowserVersion(const std::u16string& browserFolder) {
    if (!browserFolder.empty())
        return FileProductVersion(browserFolder + u"\\msedgewebview2.exe");
    // The updater is a 32-bit program: its machine-wide entries live in the 32-bit view.
    for (const std::u16string& recorded : {ReadVersionValue(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY),
                                           ReadVersionValue(HKEY_CURRENT_USER, 0)}) {
        if (IsInstalledVersion(recorded))
            return recorded;
    }
    return {};
}

}  // namespace kestrum
