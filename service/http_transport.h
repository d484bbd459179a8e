#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "service/server_chain.h"
#include "service/url_parts.h"

namespace kestrum {

// Judges the certificate chain of each new connection before anything of a request is sent
// on it; false aborts the exchange.
using ChainCheck = std::function<bool(const ServerChain&)>;

struct TransportRequest {
    std::string method;  // "GET", "HEAD", "PUT", ...
    UrlParts target;
    std::vector<std::pair<std::string, std::string>> headers;  // sent in this order
    std::string body;
    ChainCheck chainCheck;  // unset: no check
};

// Where an exchange failed. The system error codes are those of the Windows HTTP stack
// (12002 time-out, 12007 name not resolved, 12029 cannot connect, 12030 connection aborted,
// 12152 invalid server response, 12175 secure failure), so that support reads the same
// numbers from every platform.
enum class TransportFailure { kNone, kConnect, kOpenRequest, kSend, kReceive, kChainRejected };

struct TransportResponse {
    TransportFailure failure = TransportFailure::kNone;
    unsigned long systemCode = 0;
    std::uint32_t statusCode = 0;
    std::string body;
    // The exchange ran on a connection whose chain passed the check (now, or when the
    // connection was opened).
    bool chainVerified = false;
};

struct TransportSettings {
    std::string userAgent;
    unsigned resolveTimeoutMs = 10000;
    unsigned connectTimeoutMs = 10000;
    unsigned sendTimeoutMs = 30000;
    unsigned receiveTimeoutMs = 30000;
};

// One session of the platform's HTTP stack: connections are reused between its exchanges,
// redirects are never followed, the system's certificate validation is off (the chain check
// is the whole of server authentication), and every new connection is judged by the
// request's chain check, resumed TLS sessions included.
class HttpTransport {
  public:
    virtual ~HttpTransport() = default;
    virtual TransportResponse Exchange(const TransportRequest& request) = 0;
};

// The platform's transport. Throws std::runtime_error("WinHttpOpen failed") when no session
// can be opened.
std::unique_ptr<HttpTransport> CreatePlatformTransport(const TransportSettings& settings);

}  // namespace kestrum
