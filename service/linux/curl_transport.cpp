#include <curl/curl.h>
#include <openssl/ssl.h>

#include <algorithm>
#include <mutex>
#include <stdexcept>

#include "common/text_encoding.h"
#include "service/http_transport.h"
#include "service/linux/openssl_server_chain.h"
#include "service/verified_servers.h"

namespace kestrum {
namespace {

// Codes of the Windows HTTP stack, so that support reads one set of numbers.
constexpr unsigned long kTimeout = 12002;
constexpr unsigned long kNameNotResolved = 12007;
constexpr unsigned long kCannotConnect = 12029;
constexpr unsigned long kConnectionAborted = 12030;
constexpr unsigned long kInvalidServerResponse = 12152;
constexpr unsigned long kSecureFailure = 12175;
constexpr unsigned long kHeaderSizeOverflow = 12183;

struct ExchangeState {
    const ChainCheck* check = nullptr;
    const ChainCheck* sentCheck = nullptr;  // optional
    std::u16string host;                    // as reached
    bool rejected = false;
    bool verified = false;
    std::string body;
    std::size_t maxBody = kMaxAnswerBytes;
    bool bodyTooLarge = false;
    std::size_t headerBytes = 0;
    bool headersTooLarge = false;
};

std::string CertificateDer(X509* certificate) {
    unsigned char* der = nullptr;
    const int length = certificate ? i2d_X509(certificate, &der) : 0;
    if (length <= 0 || !der)
        return {};
    std::string bytes(reinterpret_cast<char*>(der), static_cast<std::size_t>(length));
    OPENSSL_free(der);
    return bytes;
}

int VerifyChain(X509_STORE_CTX* context, void* argument) {
    auto* state = static_cast<ExchangeState*>(argument);
    X509* leaf = X509_STORE_CTX_get0_cert(context);
    STACK_OF(X509)* sent = X509_STORE_CTX_get0_untrusted(context);
    // Most servers send the pinned certificate: the system's trust store is read only for a
    // chain that passes no other way. A certificate that cannot be read gives an empty chain,
    // which no pinned host accepts.
    ServerChain chain;
    bool accepted = false;
    if (state->sentCheck) {
        chain = BuildServerChain(leaf, sent, ChainSource::kAsSent);
        accepted = (*state->sentCheck)(chain);
    }
    if (!accepted) {
        chain = BuildServerChain(leaf, sent, ChainSource::kWithSystemStore);
        accepted = (*state->check)(chain);
    }
    (accepted ? state->verified : state->rejected) = true;
    // The browser trusts a pinned host on this chain instead of a handshake of its own.
    if (accepted)
        RememberVerifiedServer(state->host, std::move(chain), CertificateDer(leaf));
    X509_STORE_CTX_set_error(context, accepted ? X509_V_OK : X509_V_ERR_CERT_REJECTED);
    return accepted ? 1 : 0;
}

// Runs for every new TLS connection, before anything of the request is sent on it.
CURLcode PrepareTls(CURL* /*easy*/, void* sslContext, void* argument) {
    auto* context = static_cast<SSL_CTX*>(sslContext);
    // Sessions are not resumed (a resumed session would skip the chain), and the server may
    // not renegotiate a different chain later.
    SSL_CTX_set_session_cache_mode(context, SSL_SESS_CACHE_OFF);
    SSL_CTX_set_options(context, SSL_OP_NO_RENEGOTIATION | SSL_OP_NO_TICKET);
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_cert_verify_callback(context, VerifyChain, argument);
    return CURLE_OK;
}

std::size_t CollectBody(char* data, std::size_t size, std::size_t count, void* argument) {
    auto* state = static_cast<ExchangeState*>(argument);
    const std::size_t bytes = size * count;
    if (bytes > state->maxBody - state->body.size()) {
        state->bodyTooLarge = true;
        return 0;
    }
    state->body.append(data, bytes);
    return bytes;
}

// Counts every header line, those of interim 1xx answers too: endless headers end the
// exchange instead of filling memory.
std::size_t CountHeader(char* /*data*/, std::size_t size, std::size_t count, void* argument) {
    auto* state = static_cast<ExchangeState*>(argument);
    const std::size_t bytes = size * count;
    state->headerBytes += bytes;
    if (state->headerBytes > kMaxHeaderBytes) {
        state->headersTooLarge = true;
        return 0;
    }
    return bytes;
}

TransportResponse Failure(TransportFailure failure, unsigned long code) {
    TransportResponse response;
    response.failure = failure;
    response.systemCode = code;
    return response;
}

class CurlTransport final : public HttpTransport {
  public:
    explicit CurlTransport(TransportSettings settings) : settings_(std::move(settings)) {
        share_ = curl_share_init();
        if (!share_)
            throw std::runtime_error("WinHttpOpen failed");
        // Connections (and name look-ups) are shared by the exchanges of this session; the
        // lock makes that safe when two threads use one client.
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
        curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, Lock);
        curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, Unlock);
        curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
    }
    ~CurlTransport() override { curl_share_cleanup(share_); }
    CurlTransport(const CurlTransport&) = delete;
    CurlTransport& operator=(const CurlTransport&) = delete;

    TransportResponse Exchange(const TransportRequest& request) override;

  private:
    static void Lock(CURL*, curl_lock_data, curl_lock_access, void* self) {
        static_cast<CurlTransport*>(self)->shareLock_.lock();
    }
    static void Unlock(CURL*, curl_lock_data, void* self) {
        static_cast<CurlTransport*>(self)->shareLock_.unlock();
    }

    TransportSettings settings_;
    CURLSH* share_ = nullptr;
    std::recursive_mutex shareLock_;
};

std::string BuildUrl(const UrlParts& target) {
    return std::string(target.secure ? "https://" : "http://") + Utf16ToUtf8(target.host) + ":" +
           std::to_string(target.port) + Utf16ToUtf8(target.path);
}

TransportResponse CurlTransport::Exchange(const TransportRequest& request) {
    CURL* easy = curl_easy_init();
    if (!easy)
        return Failure(TransportFailure::kOpenRequest, 0);
    ExchangeState state;
    state.check = request.chainCheck && !request.systemValidation ? &request.chainCheck : nullptr;
    state.sentCheck = state.check && request.sentChainPasses ? &request.sentChainPasses : nullptr;
    state.host = request.target.host;
    state.maxBody = std::min(request.maxBody, kMaxAnswerBytes);

    const std::string url = BuildUrl(request.target);
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_SHARE, share_);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, settings_.userAgent.c_str());
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "*");  // direct connections only
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    // Without system validation the chain check is the whole of server authentication.
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, request.systemValidation ? 1L : 0L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, request.systemValidation ? 2L : 0L);
    curl_easy_setopt(easy, CURLOPT_SSL_SESSIONID_CACHE, 0L);
    // Without the system's validation the library would still read the whole bundle of
    // authorities into every new connection's context, for nothing: the chain check reads the
    // trust store itself, once, and only when the sent chain does not pass.
    if (!request.systemValidation) {
        curl_easy_setopt(easy, CURLOPT_CAINFO, nullptr);
        curl_easy_setopt(easy, CURLOPT_CAPATH, nullptr);
    }
    if (state.check) {
        curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, PrepareTls);
        curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA, &state);
    }
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(settings_.resolveTimeoutMs + settings_.connectTimeoutMs));
    // A stalled exchange (no byte for the receive time-out) ends it, as the system stack's
    // per-operation time-outs do; one that trickles ends at the overall deadline.
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME,
                     static_cast<long>((settings_.receiveTimeoutMs + 999) / 1000));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(settings_.DeadlineMs()));
    // A Content-Length beyond the cap is refused before any of the body is read.
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(state.maxBody));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, CollectBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &state);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, CountHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &state);

    curl_slist* headers = nullptr;
    bool hasContentType = false;
    for (const auto& [name, value] : request.headers) {
        headers = curl_slist_append(headers, (name + ": " + value).c_str());
        hasContentType = hasContentType || curl_strequal(name.c_str(), "Content-Type");
    }
    headers = curl_slist_append(headers, "Expect:");
    if (!hasContentType)
        headers = curl_slist_append(headers, "Content-Type:");

    if (request.method == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else if (request.method == "GET" && request.body.empty()) {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    } else {
        curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.method.c_str());
        if (!request.body.empty() || request.method != "GET") {
            curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                             static_cast<curl_off_t>(request.body.size()));
            curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.body.data());
        }
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);

    const CURLcode code = curl_easy_perform(easy);
    long status = 0;
    long requestSize = 0;
    long newConnections = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_getinfo(easy, CURLINFO_REQUEST_SIZE, &requestSize);
    curl_easy_getinfo(easy, CURLINFO_NUM_CONNECTS, &newConnections);
    curl_easy_cleanup(easy);
    curl_slist_free_all(headers);

    if (state.rejected)
        return Failure(TransportFailure::kChainRejected, kSecureFailure);
    if (state.headersTooLarge)
        return Failure(TransportFailure::kReceive, kHeaderSizeOverflow);
    if (state.bodyTooLarge || code == CURLE_FILESIZE_EXCEEDED)
        return Failure(TransportFailure::kReceive, kConnectionAborted);
    const bool sent = requestSize > 0;
    TransportResponse response;
    switch (code) {
        case CURLE_OK:
            break;
        case CURLE_COULDNT_RESOLVE_HOST:
            return Failure(TransportFailure::kSend, kNameNotResolved);
        case CURLE_COULDNT_CONNECT:
            return Failure(TransportFailure::kSend, kCannotConnect);
        case CURLE_OPERATION_TIMEDOUT:
            return Failure(sent ? TransportFailure::kReceive : TransportFailure::kSend, kTimeout);
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
            return Failure(TransportFailure::kSend, kSecureFailure);
        case CURLE_URL_MALFORMAT:
            return Failure(TransportFailure::kOpenRequest, 0);
        case CURLE_UNSUPPORTED_PROTOCOL:
            // After the request went out it is an answer that is not HTTP (curl's word for
            // one without a status line).
            return sent ? Failure(TransportFailure::kReceive, kInvalidServerResponse)
                        : Failure(TransportFailure::kOpenRequest, 0);
        case CURLE_WEIRD_SERVER_REPLY:
            return Failure(TransportFailure::kReceive, kInvalidServerResponse);
        default:
            return Failure(sent ? TransportFailure::kReceive : TransportFailure::kSend,
                           kConnectionAborted);
    }
    response.statusCode = static_cast<std::uint32_t>(status);
    response.body = std::move(state.body);
    // A reused connection had its chain checked when it was opened; the system validated
    // the chain itself where it was asked to.
    response.chainVerified = state.verified || (state.check && newConnections == 0) ||
                             (request.systemValidation && request.target.secure);
    return response;
}

}  // namespace

std::unique_ptr<HttpTransport> CreatePlatformTransport(const TransportSettings& settings) {
    static std::once_flag initialised;
    static bool available = false;
    std::call_once(initialised, [] { available = curl_global_init(CURL_GLOBAL_DEFAULT) == 0; });
    if (!available)
        throw std::runtime_error("WinHttpOpen failed");
    return std::make_unique<CurlTransport>(settings);
}

}  // namespace kestrum
