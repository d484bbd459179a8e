#include "common/html_escape.h"

namespace kestrum {

std::u16string HtmlEscape(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char16_t unit : text) {
        switch (unit) {
            case u'"':
                out += u"&quot;";
                break;
            case u'&':
                out += u"&amp;";
                break;
            case u'\'':
                out += u"&#39;";
                break;
            case u'<':
                out += u"&lt;";
                break;
            case u'>':
                out += u"&gt;";
                break;
            default:
                out.push_back(unit);
        }
    }
    return out;
}

}  // namespace kestrum
