#include "browser/host_rules.h"

#include <nlohmann/json.hpp>

#include "common/platform_profile.h"
#include "common/text_case.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

constexpr auto npos = std::u16string_view::npos;

void AppendStrings(const nlohmann::json& list, std::vector<std::u16string>& out) {
    if (!list.is_array())
        return;
    for (const auto& entry : list) {
        if (entry.is_string() && !entry.get<std::string>().empty())
            out.push_back(ToLowerAscii(Utf8ToUtf16(entry.get<std::string>())));
    }
}

bool IsDigit(char16_t unit) {
    return unit >= u'0' && unit <= u'9';
}

// Compares as the lower-cased copy of `text` would (ToLowerCopy), without making one: every
// request of a page passes here.
bool LowersTo(std::u16string_view text, std::u16string_view lower) {
    if (text.size() != lower.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (ToLowerUnit(text[i]) != lower[i])
            return false;
    }
    return true;
}

}  // namespace

std::u16string HostOf(std::u16string_view url) {
    if (url.starts_with(u"blob:"))
        url.remove_prefix(5);
    const std::size_t marker = url.find(u"://");
    if (marker == npos)
        return {};
    const std::u16string_view scheme = url.substr(0, marker);
    if (!LowersTo(scheme, u"http") && !LowersTo(scheme, u"https"))
        return {};
    std::u16string_view authority = url.substr(marker + 3);
    authority = authority.substr(0, authority.find_first_of(u"/\\?#"));
    // User information ("name:secret@") is not part of the host.
    if (const std::size_t at = authority.rfind(u'@'); at != npos)
        authority.remove_prefix(at + 1);
    if (authority.starts_with(u'[')) {
        const std::size_t close = authority.find(u']');
        authority = authority.substr(0, close == npos ? authority.size() : close + 1);
    } else {
        authority = authority.substr(0, authority.find(u':'));
    }
    return ToLowerCopy(authority);
}

std::u16string LastTwoLabels(std::u16string_view host) {
    const std::size_t last = host.rfind(u'.');
    if (last == npos || last == 0)
        return std::u16string(host);
    const std::size_t secondLast = host.rfind(u'.', last - 1);
    if (secondLast == npos)
        return std::u16string(host);
    return std::u16string(host.substr(secondLast + 1));
}

bool IsIpLiteral(std::u16string_view host) {
    if (host.starts_with(u'['))
        return true;
    if (host.empty())
        return false;
    int dots = 0;
    for (char16_t unit : host) {
        if (unit == u'.')
            ++dots;
        else if (!IsDigit(unit))
            return false;
    }
    return dots == 3;
}

bool IsSameSite(std::u16string_view a, std::u16string_view b) {
    if (a.empty() || b.empty())
        return false;
    if (a == b)
        return true;
    // Addresses have no labels to share: 10.0.0.1 and 192.168.0.1 are not one site.
    if (IsIpLiteral(a) || IsIpLiteral(b))
        return false;
    const std::u16string_view longer = a.size() >= b.size() ? a : b;
    const std::u16string_view shorter = a.size() >= b.size() ? b : a;
    if (IsHostWithin(longer, shorter))
        return true;
    return LastTwoLabels(a) == LastTwoLabels(b);
}

bool IsHostWithin(std::u16string_view host, std::u16string_view domain) {
    if (host.empty() || domain.empty())
        return false;
    if (host == domain)
        return true;
    return host.size() > domain.size() && host.ends_with(domain) &&
           host[host.size() - domain.size() - 1] == u'.';
}

bool IsHostWithinAny(std::u16string_view host, const std::vector<std::u16string>& domains) {
    if (host.empty())
        return false;
    for (const auto& domain : domains) {
        if (IsHostWithin(host, domain))
            return true;
    }
    return false;
}

const std::vector<std::u16string>& AllowedHostSuffixes() {
    static const std::vector<std::u16string> list = [] {
        std::vector<std::u16string> entries;
        const nlohmann::json categories = ProfileJson(ProfileItem::kAllowedHostSuffixes);
        if (categories.is_object()) {
            for (const auto& [category, names] : categories.items())
                AppendStrings(names, entries);
        }
        return entries;
    }();
    return list;
}

bool IsAllowedHost(std::u16string_view host) {
    return IsHostWithinAny(host, AllowedHostSuffixes());
}

const VideoCdnFamilyLists& VideoCdnFamilies() {
    static const VideoCdnFamilyLists families = [] {
        VideoCdnFamilyLists lists;
        const nlohmann::json object = ProfileJson(ProfileItem::kVideoCdnFamilies);
        if (object.is_object()) {
            AppendStrings(object.value("a", nlohmann::json()), lists.a);
            AppendStrings(object.value("b", nlohmann::json()), lists.b);
        }
        return lists;
    }();
    return families;
}

bool ShareVideoCdnFamily(std::u16string_view contentHost, std::u16string_view targetHost,
                         const VideoCdnFamilyLists& families) {
    const auto both = [&](const std::vector<std::u16string>& family) {
        return IsHostWithinAny(contentHost, family) && IsHostWithinAny(targetHost, family);
    };
    return both(families.a) || both(families.b);
}

bool IsYouTubeHost(std::u16string_view host) {
    return IsHostWithin(host, u"youtube.com") || IsHostWithin(host, u"youtu.be");
}

bool IsZoomHost(std::u16string_view host) {
    return IsHostWithin(host, u"zoom.us");
}

}  // namespace kestrum
