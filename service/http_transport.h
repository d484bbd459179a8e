#pragma once

#include <cstddef>
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
// A chain whose certificate could not be read at all reaches the check empty.
using ChainCheck = std::function<bool(const ServerChain&)>;

// The largest answer any exchange accepts; callers set lower caps for what they expect.
constexpr std::size_t kMaxAnswerBytes = 64u * 1024u * 1024u;
// The response headers of one answer, 1xx interim answers included.
constexpr std::size_t kMaxHeaderBytes = 64u * 1024u;

struct TransportRequest {
    std::string method;  // "GET", "HEAD", "PUT", ...
    UrlParts target;
    std::vector<std::pair<std::string, std::string>> headers;  // sent in this order
    std::string body;
    ChainCheck chainCheck;  // unset: no check
    // Optional and free of side effects: true when the chain exactly as the server sent it
    // already passes `chainCheck`. A transport then need not complete the chain from the
    // system's trust store, whose loading costs a start more than the check itself.
    ChainCheck sentChainPasses;
    // The system's own certificate validation (trusted authority, name, dates) instead of the
    // chain check, for hosts that have no pins of the platform's own.
    bool systemValidation = false;
    // A body beyond this is refused; a Content-Length beyond it before any byte is read.
    std::size_t maxBody = kMaxAnswerBytes;
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

    // No exchange outlasts its phases end to end, however slowly a server keeps it alive.
    unsigned DeadlineMs() const {
        return resolveTimeoutMs + connectTimeoutMs + sendTimeoutMs + receiveTimeoutMs;
    }
};

// One session of the platform's HTTP stack: connections are reused between its exchanges,
// redirects are never followed, the system's certificate validation is off unless a request
// asks for it (otherwise the chain check is the whole of server authentication), and every
// new connection is judged by the request's chain check, resumed TLS sessions included.
// Each exchange ends within the settings' deadline and its caps: a time-out is a send or
// receive failure with code 12002, a body or headers beyond their cap a receive failure
// (12030 for the body, 12183 for the headers).
class HttpTransport {
  public:
    virtual ~HttpTransport() = default;
    virtual TransportResponse Exchange(const TransportRequest& request) = 0;
};

// The platform's transport. Throws std::runtime_error("WinHttpOpen failed") when no session
// can be opened.
std::unique_ptr<HttpTransport> CreatePlatformTransport(const TransportSettings& settings);

}  // namespace kestrum
