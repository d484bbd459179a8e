#include "browser/navigation_policy.h"

#include "browser/host_rules.h"
#include "common/text_case.h"
#include "link/content_url_rules.h"

namespace kestrum {
namespace {

// The address without its query and fragment.
std::u16string_view WithoutQuery(std::u16string_view address) {
    return address.substr(0, address.find_first_of(u"?#"));
}

}  // namespace

NavigationDecision ContentNavigationPolicy(std::u16string_view uri, const AppContext& context) {
    constexpr auto allow = NavigationDecision::kAllow;
    constexpr auto cancel = NavigationDecision::kCancel;

    if (uri == u"about:blank")
        return allow;

    const std::u16string_view base = WithoutQuery(context.contentUrl);
    const std::u16string_view target = WithoutQuery(uri);
    if (base == target)
        return allow;

    const std::u16string contentHost = HostOf(context.contentUrl);
    const std::u16string targetHost = HostOf(uri);
    const std::u16string serverHost = HostOf(context.linkServer);

    // Judged by the target's host, so that the service's name in a path, a query or a
    // look-alike host does not count.
    if (IsZoomUrl(base) && IsZoomHost(targetHost))
        return allow;
    if (IsYouTubeUrl(base) && IsYouTubeHost(targetHost))
        return allow;

    if (IsSameSite(serverHost, targetHost) || IsSameSite(contentHost, targetHost))
        return allow;

    if (!base.empty() && target.size() > base.size() && target.starts_with(base) &&
        target[base.size()] == u'/') {
        return allow;
    }

    if (IsAllowedHost(targetHost))
        return allow;

    if (context.contentKind == u"url_direct" || context.contentKind == u"video") {
        if (ShareVideoCdnFamily(contentHost, targetHost, VideoCdnFamilies()))
            return allow;
    }
    return cancel;
}

std::u16string StartWindowLinkServer(std::u16string_view uri, std::u16string_view linkServer) {
    const std::u16string lower = ToLowerCopy(uri);
    if (Contains(lower, u"select-tenants"))
        return std::u16string(linkServer);
    if (!lower.starts_with(u"https://") && !lower.starts_with(u"http://"))
        return std::u16string(linkServer);
    const std::size_t authorityStart = uri.find(u"://") + 3;
    const std::size_t end = uri.find_first_of(u"/\\?#", authorityStart);
    const std::u16string_view origin = uri.substr(0, end);
    if (origin.size() == authorityStart || ToLowerCopy(origin) == ToLowerCopy(linkServer))
        return std::u16string(linkServer);
    return std::u16string(origin);
}

}  // namespace kestrum
