#include <windows.h>

#include <string>

#include "app/url_scheme.h"

namespace kestrum {
namespace {

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

HKEY CreateKey(HKEY root, const std::u16string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, Wide(path), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

// A REG_SZ with its terminating zero counted in the size.
void SetText(HKEY key, const wchar_t* name, const std::u16string& text) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
}

// The default value of a sub-key of the user's classes, when the sub-key can be written.
void SetUserDefault(const std::u16string& path, const std::u16string& text) {
    if (HKEY key = CreateKey(HKEY_CURRENT_USER, path)) {
        SetText(key, nullptr, text);
        RegCloseKey(key);
    }
}

}  // namespace

bool RegisterUrlScheme(const std::u16string& scheme, const std::u16string& description,
                       const std::u16string& executablePath) {
    const std::u16string path = u"Software\\Classes\\" + scheme;
    HKEY key = CreateKey(HKEY_CURRENT_USER, path);
    if (!key)
        key = CreateKey(HKEY_LOCAL_MACHINE, path);
    if (!key)
        return false;
    SetText(key, nullptr, description);
    SetText(key, L"URL Protocol", u"");
    RegCloseKey(key);

    // The icon and the command always go to the user's classes: the registration follows
    // the executable that ran last for this user.
    SetUserDefault(path + u"\\DefaultIcon", executablePath + u",1");
    SetUserDefault(path + u"\\shell\\open\\command", u"\"" + executablePath + u"\" \"%1\"");
    return true;
}

}  // namespace kestrum
