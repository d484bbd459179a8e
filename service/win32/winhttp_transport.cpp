#include <windows.h>
// after windows.h
#include <bcrypt.h>
#include <wincrypt.h>
#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "common/base64.h"
#include "common/text_encoding.h"
#include "service/http_transport.h"

namespace kestrum {
namespace {

// Not named by mingw-w64's headers; its result is not read (Wine refuses it).
constexpr DWORD kOption98 = 98;
// Ignore unknown authority, wrong usage, name mismatch and validity dates: the chain check
// is the whole of server authentication.
constexpr DWORD kIgnoreCertificateErrors = 0x3300;
constexpr unsigned long kTimeout = 12002;
constexpr unsigned long kConnectionAborted = 12030;
constexpr unsigned long kSocketTimedOut = 10060;  // WSAETIMEDOUT
constexpr unsigned long kSecureFailure = 12175;
constexpr unsigned long kInvalidServerResponse = 12152;

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

class InternetHandle {
  public:
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    ~InternetHandle() { Close(); }
    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Once, from whichever thread comes first; a call blocked on the handle then fails.
    void Close() {
        if (handle_ && !closed_.exchange(true))
            WinHttpCloseHandle(handle_);
    }

  private:
    HINTERNET handle_;
    std::atomic<bool> closed_{false};
};

// Ends an exchange at its deadline whatever the stack waits for (headers that never end,
// interim answers without end, a trickle): the per-operation time-outs restart with every
// byte, so a watch closes the request handle, which makes the blocked call fail.
class DeadlineWatch {
  public:
    DeadlineWatch(InternetHandle& request, DWORD milliseconds)
        : thread_([this, &request, milliseconds] {
              std::unique_lock<std::mutex> guard(lock_);
              if (!changed_.wait_for(guard, std::chrono::milliseconds(milliseconds),
                                     [this] { return finished_; })) {
                  fired_ = true;
                  request.Close();
              }
          }) {}
    ~DeadlineWatch() {
        {
            const std::lock_guard<std::mutex> guard(lock_);
            finished_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    DeadlineWatch(const DeadlineWatch&) = delete;
    DeadlineWatch& operator=(const DeadlineWatch&) = delete;
    bool Fired() {
        const std::lock_guard<std::mutex> guard(lock_);
        return fired_;
    }

  private:
    std::mutex lock_;
    std::condition_variable changed_;
    bool finished_ = false;
    bool fired_ = false;
    std::thread thread_;  // last: it starts once the members it reads exist
};

std::optional<std::string> Sha256(const BYTE* data, DWORD size) {
    BCRYPT_ALG_HANDLE provider = nullptr;
    if (BCryptOpenAlgorithmProvider(&provider, BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0)
        return std::nullopt;
    std::optional<std::string> digest;
    DWORD length = 0;
    ULONG copied = 0;
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (BCryptGetProperty(provider, BCRYPT_HASH_LENGTH, reinterpret_cast<PUCHAR>(&length),
                          sizeof(length), &copied, 0) >= 0 &&
        BCryptCreateHash(provider, &hash, nullptr, 0, nullptr, 0, 0) >= 0) {
        std::string bytes(length, '\0');
        if (BCryptHashData(hash, const_cast<PUCHAR>(data), size, 0) >= 0 &&
            BCryptFinishHash(hash, reinterpret_cast<PUCHAR>(bytes.data()), length, 0) >= 0) {
            digest = std::move(bytes);
        }
        BCryptDestroyHash(hash);
    }
    BCryptCloseAlgorithmProvider(provider, 0);
    return digest;
}

// Base64 of SHA-256 of the DER SubjectPublicKeyInfo; empty when it cannot be encoded.
std::string PublicKeyPin(PCCERT_CONTEXT certificate) {
    BYTE* encoded = nullptr;
    DWORD length = 0;
    if (!CryptEncodeObjectEx(X509_ASN_ENCODING, X509_PUBLIC_KEY_INFO,
                             &certificate->pCertInfo->SubjectPublicKeyInfo, CRYPT_ENCODE_ALLOC_FLAG,
                             nullptr, &encoded, &length)) {
        return {};
    }
    std::optional<std::string> digest;
    if (length > 0)
        digest = Sha256(encoded, length);
    LocalFree(encoded);
    return digest ? Base64Encode(*digest) : std::string();
}

std::u16string IssuerDisplayName(PCCERT_CONTEXT certificate) {
    const DWORD size = CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE,
                                          CERT_NAME_ISSUER_FLAG, nullptr, nullptr, 0);
    if (size <= 1)
        return {};
    std::vector<wchar_t> name(size);
    CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, CERT_NAME_ISSUER_FLAG, nullptr,
                       name.data(), size);
    return std::u16string(reinterpret_cast<const char16_t*>(name.data()));
}

bool SignedBy(PCCERT_CONTEXT subject, PCCERT_CONTEXT issuer) {
    return CryptVerifyCertificateSignatureEx(
               0, X509_ASN_ENCODING, CRYPT_VERIFY_CERT_SIGN_SUBJECT_CERT,
               const_cast<CERT_CONTEXT*>(subject), CRYPT_VERIFY_CERT_SIGN_ISSUER_CERT,
               const_cast<CERT_CONTEXT*>(issuer), 0, nullptr) != FALSE;
}

ChainElement Element(PCCERT_CONTEXT certificate, PCCERT_CONTEXT next) {
    ChainElement element;
    element.pin = PublicKeyPin(certificate);
    element.issuerName = IssuerDisplayName(certificate);
    element.signedByNext = next && SignedBy(certificate, next);
    return element;
}

// The chain of the connection the request ran on, leaf first: built by the system from the
// certificates the server sent (the certificate's own store) and its trust store. Empty when
// the server certificate cannot be read.
ServerChain ReadServerChain(HINTERNET request) {
    PCCERT_CONTEXT certificate = nullptr;
    DWORD size = sizeof(certificate);
    if (!WinHttpQueryOption(request, WINHTTP_OPTION_SERVER_CERT_CONTEXT, &certificate, &size) ||
        !certificate) {
        return {};
    }
    ServerChain chain;
    CERT_CHAIN_PARA parameters{};
    parameters.cbSize = sizeof(parameters);
    PCCERT_CHAIN_CONTEXT built = nullptr;
    if (CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &parameters,
                                0, nullptr, &built) &&
        built->cChain > 0 && built->rgpChain[0]->cElement > 0) {
        const CERT_SIMPLE_CHAIN* simple = built->rgpChain[0];
        for (DWORD i = 0; i < simple->cElement; ++i) {
            const PCCERT_CONTEXT next =
                i + 1 < simple->cElement ? simple->rgpElement[i + 1]->pCertContext : nullptr;
            chain.push_back(Element(simple->rgpElement[i]->pCertContext, next));
        }
    } else {
        // No chain could be built: the leaf alone can still match its own pin.
        chain.push_back(Element(certificate, nullptr));
    }
    if (built)
        CertFreeCertificateChain(built);
    CertFreeCertificateContext(certificate);
    return chain;
}

TransportResponse Failure(TransportFailure failure, unsigned long code) {
    TransportResponse response;
    response.failure = failure;
    // Wine lets the socket's own time-out code through where Windows reports its HTTP
    // stack's; support reads one number for a time-out.
    response.systemCode = code == kSocketTimedOut ? kTimeout : code;
    return response;
}

void SetDword(HINTERNET request, DWORD option, DWORD value) {
    WinHttpSetOption(request, option, &value, sizeof(value));
}

// The announced body length; nothing when the answer names none (or not as a number).
std::optional<unsigned long long> ContentLength(HINTERNET request) {
    wchar_t text[32] = {};
    DWORD size = sizeof(text);
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX,
                             text, &size, WINHTTP_NO_HEADER_INDEX)) {
        return std::nullopt;
    }
    unsigned long long value = 0;
    bool digits = false;
    for (const wchar_t* c = text; *c; ++c) {
        if (*c < L'0' || *c > L'9')
            return std::nullopt;
        if (value > (~0ull - 9) / 10)
            return ~0ull;  // beyond any cap
        value = value * 10 + static_cast<unsigned>(*c - L'0');
        digits = true;
    }
    return digits ? std::optional<unsigned long long>(value) : std::nullopt;
}

// Milliseconds left before the exchange's deadline, 0 when it has passed.
class Deadline {
  public:
    explicit Deadline(unsigned milliseconds) : end_(GetTickCount64() + milliseconds) {}
    DWORD Left() const {
        const ULONGLONG now = GetTickCount64();
        return now >= end_ ? 0 : static_cast<DWORD>(end_ - now);
    }

  private:
    ULONGLONG end_;
};

class WinHttpTransport final : public HttpTransport {
  public:
    explicit WinHttpTransport(const TransportSettings& settings)
        : receiveTimeoutMs_(settings.receiveTimeoutMs), deadlineMs_(settings.DeadlineMs()) {
        const std::u16string agent = Utf8ToUtf16(settings.userAgent);
        session_ = WinHttpOpen(Wide(agent), WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                               WINHTTP_NO_PROXY_BYPASS, 0);
        if (!session_)
            throw std::runtime_error("WinHttpOpen failed");
        WinHttpSetTimeouts(session_, static_cast<int>(settings.resolveTimeoutMs),
                           static_cast<int>(settings.connectTimeoutMs),
                           static_cast<int>(settings.sendTimeoutMs),
                           static_cast<int>(settings.receiveTimeoutMs));
    }
    ~WinHttpTransport() override { WinHttpCloseHandle(session_); }
    WinHttpTransport(const WinHttpTransport&) = delete;
    WinHttpTransport& operator=(const WinHttpTransport&) = delete;

    TransportResponse Exchange(const TransportRequest& request) override;

  private:
    // Limits the next wait to the receive time-out or what is left of the deadline, the
    // shorter; false when nothing is left.
    bool WaitWithin(HINTERNET request, const Deadline& deadline, DWORD option) const {
        const DWORD left = deadline.Left();
        if (left == 0)
            return false;
        SetDword(request, option, std::min<DWORD>(receiveTimeoutMs_, left));
        return true;
    }

    HINTERNET session_ = nullptr;
    DWORD receiveTimeoutMs_;
    unsigned deadlineMs_;
};

TransportResponse WinHttpTransport::Exchange(const TransportRequest& request) {
    const Deadline deadline(deadlineMs_);
    const std::size_t maxBody = std::min(request.maxBody, kMaxAnswerBytes);
    const UrlParts& target = request.target;
    const InternetHandle connection(WinHttpConnect(session_, Wide(target.host), target.port, 0));
    if (!connection)
        return Failure(TransportFailure::kConnect, GetLastError());

    const std::u16string method = Utf8ToUtf16(request.method);
    InternetHandle handle(WinHttpOpenRequest(
        connection.get(), Wide(method), Wide(target.path), nullptr, WINHTTP_NO_REFERER,
        WINHTTP_DEFAULT_ACCEPT_TYPES, target.secure ? WINHTTP_FLAG_SECURE : 0));
    if (!handle)
        return Failure(TransportFailure::kOpenRequest, GetLastError());
    DeadlineWatch watch(handle, deadline.Left());
    // A call that failed because the watch closed the handle failed for time.
    const auto failed = [&watch](TransportFailure failure) {
        const unsigned long code = GetLastError();
        return Failure(failure, watch.Fired() ? kTimeout : code);
    };

    SetDword(handle.get(), kOption98, 1);
    SetDword(handle.get(), WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_REDIRECTS);
    if (request.method != "HEAD") {
        SetDword(handle.get(), WINHTTP_OPTION_REDIRECT_POLICY,
                 WINHTTP_OPTION_REDIRECT_POLICY_DISALLOW_HTTPS_TO_HTTP);
    }
    if (!request.systemValidation)
        SetDword(handle.get(), WINHTTP_OPTION_SECURITY_FLAGS, kIgnoreCertificateErrors);
    SetDword(handle.get(), WINHTTP_OPTION_MAX_RESPONSE_HEADER_SIZE,
             static_cast<DWORD>(kMaxHeaderBytes));
    // The wait for the response headers has a limit of its own (90 s by default, which Wine
    // applies instead of the receive time-out, and only when set before the send): a silent
    // server gets the receive time-out.
    SetDword(handle.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT,
             std::min<DWORD>(receiveTimeoutMs_, deadline.Left()));

    for (const auto& [name, value] : request.headers) {
        const std::u16string line = Utf8ToUtf16(name + ": " + value);
        WinHttpAddRequestHeaders(handle.get(), Wide(line), static_cast<DWORD>(line.size()),
                                 WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE);
    }

    // The request goes out before the server's chain can be judged: the client's pre-flight
    // (a bare HEAD) is what keeps headers and body away from a server that fails the check.
    const DWORD bodySize = static_cast<DWORD>(request.body.size());
    void* body = bodySize ? const_cast<char*>(request.body.data()) : WINHTTP_NO_REQUEST_DATA;
    if (!WinHttpSendRequest(handle.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, body, bodySize,
                            bodySize, 0)) {
        return failed(TransportFailure::kSend);
    }
    if (!WinHttpReceiveResponse(handle.get(), nullptr))
        return failed(TransportFailure::kReceive);

    TransportResponse response;
    if (request.systemValidation) {
        response.chainVerified = target.secure;
    } else if (request.chainCheck) {
        // A certificate that cannot be read is judged as an empty chain: no pinned host
        // accepts it.
        if (!request.chainCheck(ReadServerChain(handle.get())))
            return Failure(TransportFailure::kChainRejected, kSecureFailure);
        response.chainVerified = true;
    }

    // An answer without a status a client can read is no HTTP answer (Wine lets some
    // through where Windows refuses them).
    DWORD status = 0;
    DWORD statusSize = sizeof(status);
    if (!WinHttpQueryHeaders(handle.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize,
                             WINHTTP_NO_HEADER_INDEX) ||
        status < 100 || status > 999) {
        return Failure(TransportFailure::kReceive, kInvalidServerResponse);
    }
    response.statusCode = status;
    const std::optional<unsigned long long> announced = ContentLength(handle.get());

    if (announced && *announced > maxBody)
        return Failure(TransportFailure::kReceive, kConnectionAborted);

    // A body cut short is a failed exchange, not a shorter answer.
    for (;;) {
        if (!WaitWithin(handle.get(), deadline, WINHTTP_OPTION_RECEIVE_TIMEOUT))
            return Failure(TransportFailure::kReceive, kTimeout);
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(handle.get(), &available))
            return failed(TransportFailure::kReceive);
        if (available == 0)
            break;
        if (available > maxBody - response.body.size())
            return Failure(TransportFailure::kReceive, kConnectionAborted);
        const std::size_t offset = response.body.size();
        response.body.resize(offset + available);
        DWORD read = 0;
        if (!WinHttpReadData(handle.get(), response.body.data() + offset, available, &read))
            return failed(TransportFailure::kReceive);
        response.body.resize(offset + read);
    }
    // Less than the announced length: the server closed early (Wine reports that as a
    // complete answer). Answers that carry no body are exempt.
    const bool bodyless = request.method == "HEAD" || status == 204 || status == 304;
    if (announced && !bodyless && response.body.size() < *announced)
        return Failure(TransportFailure::kReceive, kConnectionAborted);
    return response;
}

}  // namespace

std::unique_ptr<HttpTransport> CreatePlatformTransport(const TransportSettings& settings) {
    return std::make_unique<WinHttpTransport>(settings);
}

}  // namespace kestrum
