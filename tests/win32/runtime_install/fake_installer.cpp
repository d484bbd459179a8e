// A stand-in for the runtime's installer. The registering kind records an installed runtime
// as the runtime's updater does; the idle kind ends without doing anything.
#include <windows.h>

int main() {
#ifdef KESTRUM_FAKE_INSTALLER_REGISTERS
    constexpr wchar_t kClientStateKey[] =
        L"Software\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";
    constexpr wchar_t kFolder[] = L"C:\\Runtime\\Application\\120.0.2210.91";
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kClientStateKey, 0, nullptr, 0,
                        KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return 1;
    const LSTATUS written = RegSetValueExW(key, L"EBWebView", 0, REG_SZ,
                                           reinterpret_cast<const BYTE*>(kFolder), sizeof(kFolder));
    RegCloseKey(key);
    return written == ERROR_SUCCESS ? 0 : 1;
#else
    return 0;
#endif
}
