#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrum {

// Host tests of the browser's navigation and request rules. Hosts are lower case.

// The host of an http or https address (also one wrapped in "blob:"), lower-cased: the
// authority up to the first "/", "\", "?" or "#", without user information and port. Empty
// for any other address, so that such an address never matches a host rule.
std::u16string HostOf(std::u16string_view url);

// The text after the second-to-last dot ("a.b.c" gives "b.c"); the host itself when it has
// fewer than two dots.
std::u16string LastTwoLabels(std::u16string_view host);

// An IPv4 address in dotted form or a bracketed IPv6 address.
bool IsIpLiteral(std::u16string_view host);

// Same site: equal, one a subdomain of the other, or the same last two labels. IP addresses
// are the same site only when equal. Empty hosts never are.
bool IsSameSite(std::u16string_view a, std::u16string_view b);

// The host equals the domain or ends with "." followed by it.
bool IsHostWithin(std::u16string_view host, std::u16string_view domain);

// The host is within one of the domains (tried in order). An empty host never is.
bool IsHostWithinAny(std::u16string_view host, const std::vector<std::u16string>& domains);

// The profile's allow-list, every category in one list; built on first use.
const std::vector<std::u16string>& AllowedHostSuffixes();

bool IsAllowedHost(std::u16string_view host);

// The profile's two video CDN families, "a" and "b"; built on first use.
struct VideoCdnFamilyLists {
    std::vector<std::u16string> a;
    std::vector<std::u16string> b;
};
const VideoCdnFamilyLists& VideoCdnFamilies();

// The content's host and the target's host are both within family "a", or both within
// family "b".
bool ShareVideoCdnFamily(std::u16string_view contentHost, std::u16string_view targetHost,
                         const VideoCdnFamilyLists& families);

// The host in the URL's own terms: YouTube's two domains, Zoom's meeting domain.
bool IsYouTubeHost(std::u16string_view host);
bool IsZoomHost(std::u16string_view host);

}  // namespace kestrum
