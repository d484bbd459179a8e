#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrum {

// An absolute http(s) address split the way the system's URL cracker splits it.
struct UrlParts {
    bool secure = false;
    std::u16string host;  // as the transport connects to it (TransportHost)
    std::uint16_t port = 0;
    std::u16string path;  // path with query and fragment; "/" when none
};

// Nothing when the address is not an absolute http or https address with a host the
// player accepts (TransportHost), a port in range, a host of at most 255 characters or a
// path of at most 2047.
std::optional<UrlParts> SplitUrl(const std::u16string& url);

// A host exactly as the transport will connect to it, so that the host whose pins are
// checked is the host that is reached: lower case, without the trailing dot of a fully
// qualified name. Nothing for a host the player refuses because a transport would read it
// as another: one with a percent sign ("%6cocalhost" reaches localhost), any character
// outside printable ASCII (international names are mapped to other names on the way), a
// blank, a backslash, or an empty label ("localhost..", ".localhost").
std::optional<std::u16string> TransportHost(std::u16string_view host);

}  // namespace kestrum
