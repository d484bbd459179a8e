#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrum::platform {

// Where a hostile answer is written: raw bytes on an open TLS connection.
class HostileConnection {
  public:
    virtual ~HostileConnection() = default;
    // False once the peer is gone (or the connection's own limits are reached).
    virtual bool Send(std::string_view bytes) = 0;
    // False when the service stops (or the connection's lifetime ends) before the time is up.
    virtual bool Pause(std::chrono::milliseconds time) = 0;
};

// The modes of the hostile listener with a line about each, for --help.
std::vector<std::pair<std::string, std::string>> HostileModes();

// Answers one request in `mode` (see HostileModes). False when the connection must be closed
// afterwards; true keeps it open for the next request. An unknown mode gets a 404.
bool WriteHostileAnswer(const std::string& mode, HostileConnection& connection);

}  // namespace kestrum::platform
