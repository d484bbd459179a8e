#include "app/win32/update_address_win32.h"

#include <windows.h>
// after windows.h
#include <shellapi.h>

#include "common/debug_log.h"

namespace kestrum {

bool IsOpenableUpdateAddress(const std::u16string& address) {
    static constexpr std::u16string_view kScheme = u"https://";
    if (address.size() <= kScheme.size())
        return false;
    for (std::size_t i = 0; i < kScheme.size(); ++i) {
        char16_t c = address[i];
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != kScheme[i])
            return false;
    }
    const char16_t first = address[kScheme.size()];
    if (first == u'/' || first == u'?' || first == u'#' || first == u'@' || first == u':')
        return false;
    for (const char16_t c : address) {
        if (c <= 0x20 || c == 0x7F || c == u'"' || c == u'\'' || c == u'`' || c == u'<' ||
            c == u'>' || c == u'\\' || c == u'^' || c == u'|' || c == u'{' || c == u'}' ||
            (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029) {
            return false;
        }
    }
    return true;
}

bool OpenUpdateAddress(const std::u16string& address) {
    if (!IsOpenableUpdateAddress(address)) {
        DebugLog("Update address refused: not a plain https address");
        return false;
    }
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(address.c_str()), nullptr,
                      nullptr, SW_SHOWNORMAL));
    // Values above 32 mean the handler was started.
    return result > 32;
}

}  // namespace kestrum
