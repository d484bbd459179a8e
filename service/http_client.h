#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace kestrum {

class HttpTransport;

// Where a client reads the values of the device headers it adds for platform hosts.
struct DeviceIdentitySource {
    std::function<std::u16string()> id;
    std::function<std::u16string()> description;
};

// The result of one request. Failures are reported here, never thrown: `error` names what
// went wrong and `statusCode` is 0; a non-2xx answer keeps its status and body with an empty
// `error`.
struct HttpResponse {
    std::uint32_t statusCode = 0;
    std::string body;
    bool success = false;  // 200 <= statusCode <= 299
    std::string error;
};

// A small synchronous HTTPS client. Every HTTPS exchange is authenticated by the pins of its
// host (see pin_validation.h) unless pinning is disabled: a pre-flight HEAD, once per host
// and client, makes sure nothing of a request (headers, token, body) reaches a server whose
// certificate matches no pin, and every response is checked again; a response of a pinned
// host whose certificate could not be read fails like a mismatch. Redirects are returned,
// never followed.
class HttpClient {
  public:
    // Throws std::runtime_error("WinHttpOpen failed") when no session can be opened.
    HttpClient();
    // The client over a given transport (tests, tools).
    explicit HttpClient(std::unique_ptr<HttpTransport> transport,
                        DeviceIdentitySource deviceIdentity = {});
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    HttpResponse Request(const std::u16string& method, const std::u16string& url,
                         const std::string& body, const std::u16string& contentType);
    HttpResponse Get(const std::u16string& url);
    HttpResponse Post(const std::u16string& url, const std::string& body,
                      const std::u16string& contentType);
    HttpResponse Put(const std::u16string& url, const std::string& body,
                     const std::u16string& contentType);

    // Sent with every later request of this client; a header of the same name (compared
    // case-sensitively) is overwritten.
    void SetDefaultHeader(const std::u16string& name, const std::u16string& value);
    // For a private client that talks to a site without pins of the platform's own.
    void DisablePinning();
    // Hosts without pins are authenticated by the system's own certificate validation
    // (trusted authority, name, dates) instead of being accepted whatever they show; pinned
    // hosts keep their pins.
    void ValidateUnpinnedHostsBySystem();
    // A larger answer is refused (a Content-Length beyond it at once) with the transport's
    // receive failure; at most kMaxAnswerBytes.
    void SetAnswerLimit(std::size_t bytes);

  private:
    bool PreflightPassed(const std::u16string& host, std::uint16_t port, HttpResponse& response);

    std::unique_ptr<HttpTransport> transport_;
    DeviceIdentitySource deviceIdentity_;
    std::mutex lock_;  // guards defaultHeaders_ and checkedHosts_; never held across the network
    std::map<std::u16string, std::u16string> defaultHeaders_;
    std::set<std::u16string> checkedHosts_;
    bool pinningDisabled_ = false;
    bool systemValidation_ = false;
    std::size_t answerLimit_;
};

// The caps of what the service answers: JSON documents (pins, version, content data) and
// the page script.
constexpr std::size_t kServiceAnswerLimit = 1024u * 1024u;
constexpr std::size_t kPageScriptLimit = 1024u * 1024u;

// The process-wide client, created on first use and never destroyed before exit. Its answers
// are capped at kServiceAnswerLimit.
HttpClient& SharedHttpClient();

}  // namespace kestrum
