#include "service/base_url.h"

#include "common/text_case.h"

namespace kestrum {

std::u16string NormalizeBaseUrl(std::u16string_view base) {
    std::u16string trimmed(base);
    TrimTrailingSlashes(trimmed);
    if (trimmed.empty())
        return trimmed;
    if (trimmed.size() > 2 && Contains(trimmed, u"://"))
        return trimmed;
    return u"https://" + trimmed;
}

}  // namespace kestrum
