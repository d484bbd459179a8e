#pragma once

#include <optional>
#include <string>

#include "link/scheme_args.h"
#include "service/http_transport.h"

namespace kestrum {

// What link decoding asks of the real platform service: the content data request on the
// shared client, and the page script of YouTube content on a fresh client of its own.
LinkServices PlatformLinkServices();

// The time limits of the page-script fetch: a script is an extra, so it gets less time than
// a service request before it is given up (15 s end to end).
TransportSettings PageScriptTransportSettings();

// The page script at `address`, authenticated like every service request: the pins of a
// pinned host, the system's certificate validation for any other host, never plain HTTP.
// Nothing unless a 2xx answer of at most kPageScriptLimit bytes arrives within the
// settings' deadline. Throws std::runtime_error("WinHttpOpen failed") when no network client
// can be created.
std::optional<std::string> FetchPageScript(const std::u16string& address,
                                           const TransportSettings& settings);

}  // namespace kestrum
