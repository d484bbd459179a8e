#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

namespace kestrum::platform {

// What a test needs to see of one request.
struct LoggedRequest {
    std::string listener;  // "platform" or "attacker"
    std::string method;
    std::string target;  // path with query, as sent
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
};

// Every request of the service's listeners, in arrival order, for tests to read. Bounded:
// the oldest entries go first, and long bodies are cut (their full length is kept).
class RequestLog {
  public:
    void Record(LoggedRequest request);
    // A JSON array of {"seq", "listener", "method", "target", "path", "query", "headers",
    // "body", "bodyLength"}; headers as an object, repeated names joined with ", ".
    std::string Json() const;
    std::size_t Clear();

  private:
    mutable std::mutex lock_;
    std::deque<nlohmann::ordered_json> entries_;
    unsigned long long nextSeq_ = 1;
};

}  // namespace kestrum::platform
