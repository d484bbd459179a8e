#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kestrum {

// Whether the embedded browser may use an HTTPS host (port 443): hosts without pins pass,
// and so do hosts that cannot be reached; a host that answers with a chain matching no pin
// fails and is checked again next time. Passing hosts are remembered for the process. The
// host is judged as the transport uses it (TransportHost); a host the player refuses fails.
// A host whose chain this process has already accepted and which passes the pins in force
// (PinnedCertificateOf) passes without another connection.
bool CheckHostPins(const std::u16string& host);

// A host the browser is known to need before its first request (the content's host) is
// checked ahead, on a thread of its own while the start goes on (PrecheckHostPins).
void BeginHostPinCheck(const std::u16string& host);

// Waits for the checks begun by BeginHostPinCheck, then the hosts that have passed so far,
// with those whose chain this process has accepted and which pass the pins in force.
std::vector<std::u16string> PassedPageHosts();

// Hosts that another process of the player has found passing (the player for its web
// processes): their first request does not wait for a check.
void AcceptPassedPageHosts(const std::vector<std::u16string>& hosts);

class HttpTransport;
// The same check over transports of the caller's making (3 s time-outs in the player).
bool CheckHostPins(const std::u16string& host,
                   const std::function<std::unique_ptr<HttpTransport>()>& makeTransport);

// The check ahead of need: the host passes as in CheckHostPins, but only on a chain that
// matches its pins. Anything else (a refused chain, the inspection exception, no answer)
// leaves no verdict and no dialog: the host's first request makes the full check.
void PrecheckHostPins(const std::u16string& host,
                      const std::function<std::unique_ptr<HttpTransport>()>& makeTransport);

}  // namespace kestrum
