#include "browser/escape_js_string.h"

namespace kestrum {

std::u16string EscapeJsString(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char16_t unit : text) {
        switch (unit) {
            case u'\n':
                out += u"\\n";
                break;
            case u'\r':
                out += u"\\r";
                break;
            case u'"':
                out += u"\\\"";
                break;
            case u'\'':
                out += u"\\'";
                break;
            case u'<':
                out += u"\\x3C";
                break;
            case u'>':
                out += u"\\x3E";
                break;
            case u'\\':
                out += u"\\\\";
                break;
            default:
                out.push_back(unit);
        }
    }
    return out;
}

}  // namespace kestrum
