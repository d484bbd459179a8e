#pragma once

#include <functional>
#include <memory>
#include <string>

namespace kestrum {

// Whether the embedded browser may use an HTTPS host (port 443): hosts without pins pass,
// and so do hosts that cannot be reached; a host that answers with a chain matching no pin
// fails and is checked again next time. Passing hosts are remembered for the process. The
// host is judged as the transport uses it (TransportHost); a host the player refuses fails.
bool CheckHostPins(const std::u16string& host);

class HttpTransport;
// The same check over transports of the caller's making (3 s time-outs in the player).
bool CheckHostPins(const std::u16string& host,
                   const std::function<std::unique_ptr<HttpTransport>()>& makeTransport);

}  // namespace kestrum
