#include "service/http_client.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "common/platform_profile.h"
#include "common/text_case.h"
#include "common/text_encoding.h"
#include "service/http_transport.h"
#include "service/pin_store.h"
#include "service/pin_validation.h"

namespace kestrum {
namespace {

bool IsPlatformHost(const std::u16string& host) {
    const std::u16string lowerHost = ToLowerCopy(host);
    const nlohmann::json fragments = ProfileJson(ProfileItem::kPlatformHostFragments);
    if (!fragments.is_array())
        return false;
    for (const auto& fragment : fragments) {
        if (fragment.is_string() && !fragment.get<std::string>().empty() &&
            Contains(lowerHost, Utf8ToUtf16(fragment.get<std::string>()))) {
            return true;
        }
    }
    return false;
}

bool HostHasPins(const std::u16string& host) {
    const auto entry = FindPins(host);
    return entry && !entry->pins.empty();
}

void SetHeader(std::vector<std::pair<std::string, std::string>>& headers, const std::string& name,
               const std::string& value) {
    // Add-or-replace, with header names compared as HTTP compares them.
    const std::u16string lowerName = ToLowerAscii(Utf8ToUtf16(name));
    std::erase_if(headers, [&](const auto& header) {
        return ToLowerAscii(Utf8ToUtf16(header.first)) == lowerName;
    });
    headers.emplace_back(name, value);
}

void ReportFailure(const TransportResponse& result, const std::u16string& host,
                   HttpResponse& response) {
    switch (result.failure) {
        case TransportFailure::kConnect:
            response.error = "WinHttpConnect failed";
            break;
        case TransportFailure::kOpenRequest:
            response.error = "WinHttpOpenRequest failed";
            break;
        case TransportFailure::kSend:
            response.error = "WinHttpSendRequest failed: " + std::to_string(result.systemCode);
            break;
        case TransportFailure::kReceive:
            response.error = "WinHttpReceiveResponse failed: " + std::to_string(result.systemCode);
            break;
        case TransportFailure::kChainRejected:
            response.error = "SSL Pin validation FAILED for " + Utf16ToUtf8(host);
            break;
        case TransportFailure::kNone:
            break;
    }
}

// The full check, and the pins alone on the chain as sent, which spares most connections the
// system's trust store.
void SetPinChecks(TransportRequest& request, const std::u16string& host) {
    request.chainCheck = [host](const ServerChain& chain) {
        return ValidateServerPins(chain, host);
    };
    request.sentChainPasses = [host](const ServerChain& chain) {
        return ChainPassesHostPins(chain, host);
    };
}

}  // namespace

HttpClient::HttpClient(std::unique_ptr<HttpTransport> transport,
                       DeviceIdentitySource deviceIdentity)
    : transport_(std::move(transport)),
      deviceIdentity_(std::move(deviceIdentity)),
      answerLimit_(kMaxAnswerBytes) {}

HttpClient::~HttpClient() = default;

void HttpClient::SetDefaultHeader(const std::u16string& name, const std::u16string& value) {
    const std::lock_guard<std::mutex> guard(lock_);
    defaultHeaders_[name] = value;
}

void HttpClient::DisablePinning() {
    pinningDisabled_ = true;
}

void HttpClient::ValidateUnpinnedHostsBySystem() {
    systemValidation_ = true;
}

void HttpClient::SetAnswerLimit(std::size_t bytes) {
    answerLimit_ = std::min(bytes, kMaxAnswerBytes);
}

bool HttpClient::PreflightPassed(const std::u16string& host, std::uint16_t port,
                                 HttpResponse& response) {
    {
        const std::lock_guard<std::mutex> guard(lock_);
        if (checkedHosts_.count(host))
            return true;
    }
    TransportRequest head;
    head.method = "HEAD";
    head.target = UrlParts{true, host, port, u"/"};
    SetPinChecks(head, host);
    const TransportResponse result = transport_->Exchange(head);

    // A pinned host must have shown a chain that passed; one that could not even be asked
    // (refused, unreachable) fails here too, before the real request carries anything to it.
    const bool handlesOpened = result.failure != TransportFailure::kConnect &&
                               result.failure != TransportFailure::kOpenRequest;
    const bool passed = result.failure != TransportFailure::kChainRejected &&
                        (!handlesOpened || result.chainVerified || !HostHasPins(host));
    if (!passed) {
        response.error = "Pre-flight SSL Pin validation FAILED for " + Utf16ToUtf8(host) +
                         ". MITM Attack Prevented!";
        return false;
    }
    const std::lock_guard<std::mutex> guard(lock_);
    checkedHosts_.insert(host);
    return true;
}

HttpResponse HttpClient::Request(const std::u16string& method, const std::u16string& url,
                                 const std::string& body, const std::u16string& contentType) {
    HttpResponse response;
    const std::optional<UrlParts> target = SplitUrl(url);
    if (!target) {
        response.error = "Failed to parse URL";
        return response;
    }
    // Under system validation an unpinned host is judged by the handshake itself, so it
    // needs no pre-flight: a server the system does not trust receives nothing.
    const bool bySystem = target->secure && systemValidation_ && !HostHasPins(target->host);
    const bool pinned = target->secure && !pinningDisabled_ && !bySystem;
    if (pinned && !PreflightPassed(target->host, target->port, response))
        return response;

    TransportRequest request;
    request.method = Utf16ToUtf8(method);
    request.target = *target;
    request.body = body;
    request.maxBody = answerLimit_;
    request.systemValidation = bySystem;
    if (pinned) {
        SetPinChecks(request, target->host);
    }

    std::map<std::u16string, std::u16string> headers;
    {
        const std::lock_guard<std::mutex> guard(lock_);
        headers = defaultHeaders_;
    }
    if (IsPlatformHost(target->host)) {
        const auto addDevice = [&](const char* member,
                                   const std::function<std::u16string()>& source) {
            const std::u16string value = source ? source() : std::u16string();
            const std::string name = ProfileMember(ProfileItem::kDeviceHeaders, member);
            if (!value.empty() && !name.empty())
                headers[Utf8ToUtf16(name)] = value;
        };
        addDevice("deviceId", deviceIdentity_.id);
        addDevice("deviceDescription", deviceIdentity_.description);
    }
    for (const auto& [name, value] : headers) {
        SetHeader(request.headers, Utf16ToUtf8(name), Utf16ToUtf8(value));
    }
    if (!contentType.empty())
        SetHeader(request.headers, "Content-Type", Utf16ToUtf8(contentType));

    TransportResponse result = transport_->Exchange(request);
    // Fail closed: a pinned host's answer counts only when its chain was seen and passed.
    if (result.failure == TransportFailure::kNone && pinned && !result.chainVerified &&
        HostHasPins(target->host)) {
        result.failure = TransportFailure::kChainRejected;
    }
    if (result.failure != TransportFailure::kNone) {
        ReportFailure(result, target->host, response);
        return response;
    }
    response.statusCode = result.statusCode;
    response.body = std::move(result.body);
    response.success = response.statusCode >= 200 && response.statusCode <= 299;
    return response;
}

HttpResponse HttpClient::Get(const std::u16string& url) {
    return Request(u"GET", url, {}, {});
}

HttpResponse HttpClient::Post(const std::u16string& url, const std::string& body,
                              const std::u16string& contentType) {
    return Request(u"POST", url, body, contentType);
}

HttpResponse HttpClient::Put(const std::u16string& url, const std::string& body,
                             const std::u16string& contentType) {
    return Request(u"PUT", url, body, contentType);
}

}  // namespace kestrum
