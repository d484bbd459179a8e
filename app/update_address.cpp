#include "app/update_address.h"

#include "common/build_platform.h"
#include "common/platform_profile.h"
#include "common/text_case.h"
#include "common/text_encoding.h"

namespace kestrum {

bool IsSafeUpdateAddress(std::u16string_view address, std::u16string_view platformDomain) {
    constexpr std::u16string_view kScheme = u"https://";
    if (address.size() <= kScheme.size() || ToLowerAscii(address.substr(0, 8)) != kScheme)
        return false;
    for (char16_t unit : address) {
        if (unit <= u' ' || unit == 0x7F || unit == u'\\')
            return false;
    }
    std::u16string_view authority = address.substr(kScheme.size());
    authority = authority.substr(0, authority.find_first_of(u"/?#"));
    if (authority.find_first_of(u"@%") != std::u16string_view::npos)
        return false;
    std::u16string_view host = authority;
    if (const auto colon = host.rfind(u':'); colon != std::u16string_view::npos) {
        const std::u16string_view port = host.substr(colon + 1);
        if (port.empty() || port.size() > 5 ||
            port.find_first_not_of(u"0123456789") != std::u16string_view::npos) {
            return false;
        }
        host = host.substr(0, colon);
    }
    std::u16string lowerHost = ToLowerAscii(host);
    if (!lowerHost.empty() && lowerHost.back() == u'.')
        lowerHost.pop_back();
    std::u16string domain = ToLowerAscii(platformDomain);
    if (!domain.empty() && domain.back() == u'.')
        domain.pop_back();
    if (domain.empty() || lowerHost.empty())
        return false;
    return lowerHost == domain || EndsWith(lowerHost, u"." + domain);
}

std::u16string ChooseUpdateAddress(std::u16string_view offered) {
    const std::u16string domain = Utf8ToUtf16(ProfileText(ProfileItem::kPlatformDomain));
    if (IsSafeUpdateAddress(offered, domain))
        return std::u16string(offered);
    return Utf8ToUtf16(ProfileText(UpdateItemsFor(ThisBuildPlatform()).downloadUrl));
}

}  // namespace kestrum
