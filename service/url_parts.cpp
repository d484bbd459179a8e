#include "service/url_parts.h"

#include "common/text_case.h"

namespace kestrum {

std::optional<UrlParts> SplitUrl(const std::u16string& url) {
    const auto schemeEnd = url.find(u"://");
    if (schemeEnd == std::u16string::npos)
        return std::nullopt;
    const std::u16string scheme = ToLowerAscii(url.substr(0, schemeEnd));
    UrlParts parts;
    if (scheme == u"https") {
        parts.secure = true;
        parts.port = 443;
    } else if (scheme == u"http") {
        parts.port = 80;
    } else {
        return std::nullopt;
    }

    const std::size_t authorityStart = schemeEnd + 3;
    std::size_t authorityEnd = url.find_first_of(u"/?#", authorityStart);
    if (authorityEnd == std::u16string::npos)
        authorityEnd = url.size();
    std::u16string authority = url.substr(authorityStart, authorityEnd - authorityStart);
    if (const auto at = authority.rfind(u'@'); at != std::u16string::npos) {
        authority.erase(0, at + 1);  // user information is not part of the host
    }

    std::size_t hostEnd = authority.size();
    if (!authority.empty() && authority.front() == u'[') {  // IPv6 literal
        hostEnd = authority.find(u']');
        if (hostEnd == std::u16string::npos)
            return std::nullopt;
        ++hostEnd;
    } else if (const auto colon = authority.rfind(u':'); colon != std::u16string::npos) {
        hostEnd = colon;
    }
    const std::optional<std::u16string> host = TransportHost(authority.substr(0, hostEnd));
    if (!host)
        return std::nullopt;
    parts.host = *host;
    if (hostEnd < authority.size()) {
        if (authority[hostEnd] != u':')
            return std::nullopt;
        const std::u16string port = authority.substr(hostEnd + 1);
        if (port.empty() || port.size() > 5)
            return std::nullopt;
        unsigned value = 0;
        for (char16_t c : port) {
            if (c < u'0' || c > u'9')
                return std::nullopt;
            value = value * 10 + static_cast<unsigned>(c - u'0');
        }
        if (value == 0 || value > 65535)
            return std::nullopt;
        parts.port = static_cast<std::uint16_t>(value);
    }
    if (parts.host.size() > 255)
        return std::nullopt;

    // A query without a path still asks for the root.
    const std::u16string rest = url.substr(authorityEnd);
    parts.path = (!rest.empty() && rest.front() == u'/') ? rest : u"/" + rest;
    if (parts.path.size() > 2047)
        return std::nullopt;
    return parts;
}

std::optional<std::u16string> TransportHost(std::u16string_view host) {
    if (host.ends_with(u'.'))
        host.remove_suffix(1);
    if (host.empty() || host.starts_with(u'.') || host.ends_with(u'.') ||
        host.find(u"..") != std::u16string_view::npos)
        return std::nullopt;
    for (const char16_t c : host) {
        if (c <= u' ' || c > u'~' || c == u'%' || c == u'\\')
            return std::nullopt;
    }
    return ToLowerCopy(host);
}

}  // namespace kestrum
