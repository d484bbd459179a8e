#include "tools/kestrum_tool/probe_command.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "common/platform_profile.h"
#include "common/text_encoding.h"
#include "fatal/fatal_error.h"
#include "service/device_identity.h"
#include "service/dynamic_pins.h"
#include "service/http_client.h"
#include "service/http_transport.h"
#include "service/pin_store.h"
#include "service/url_parts.h"
#include "tools/kestrum_tool/tool_output.h"

namespace kestrum {
namespace {

// Passes exchanges through and prints each chain the server shows, before it is judged.
class ReportingTransport final : public HttpTransport {
  public:
    explicit ReportingTransport(std::unique_ptr<HttpTransport> inner) : inner_(std::move(inner)) {}

    TransportResponse Exchange(const TransportRequest& request) override {
        TransportRequest observed = request;
        if (request.chainCheck) {
            const std::u16string host = request.target.host;
            observed.chainCheck = [check = request.chainCheck, host](const ServerChain& chain) {
                PrintChain(host, chain);
                return check(chain);
            };
            // The probe shows the chain as the full check builds it, every time.
            observed.sentChainPasses = nullptr;
        }
        return inner_->Exchange(observed);
    }

  private:
    static void PrintChain(const std::u16string& host, const ServerChain& chain) {
        const auto entry = FindPins(host);
        PrintLine("chain of " + Utf16ToUtf8(host) + " (" +
                  (entry ? std::to_string(entry->pins.size()) + " pins for scope " +
                               Utf16ToUtf8(entry->scope)
                         : std::string("no pins")) +
                  "):");
        for (std::size_t i = 0; i < chain.size(); ++i) {
            const bool matched = entry && std::find(entry->pins.begin(), entry->pins.end(),
                                                    chain[i].pin) != entry->pins.end();
            const bool lastElement = i + 1 == chain.size();
            PrintLine("  " + std::to_string(i) + " " + chain[i].pin + " " +
                      (matched ? "matched" : "no match") +
                      (lastElement || chain[i].signedByNext
                           ? ""
                           : " (signature does not verify under the next)") +
                      " issuer: " + Utf16ToUtf8(chain[i].issuerName));
        }
    }

    std::unique_ptr<HttpTransport> inner_;
};

}  // namespace

int ProbeCommand(const std::u16string& url) {
    // A pin failure on a platform host would end the player with the diagnostic dialog; the
    // probe prints the code instead and goes on to report the request's failure.
    ReportFatalErrorsInstead([](const FatalError& error) {
        PrintLine("pin failure on a platform host, diagnostic code: " + error.code);
    });
    ReplacePins(DefaultPins());
    PrintLine(LoadDynamicPins() ? "service pins loaded"
                                : "service pins not loaded: built-in pins only");

    HttpClient client(
        std::make_unique<ReportingTransport>(CreatePlatformTransport(
            TransportSettings{ProfileText(ProfileItem::kUserAgent), 10000, 10000, 30000, 30000})),
        DeviceIdentitySource{GetDeviceId, GetDeviceDescription});
    client.SetDefaultHeader(u"X-Secret",
                            Utf8ToUtf16(RestoreProfileSecret(ProfileItem::kServiceToken).value()));
    const HttpResponse response = client.Get(url);
    if (!response.error.empty()) {
        PrintLine(response.error);
        return 1;
    }
    PrintLine("status " + std::to_string(response.statusCode));
    return response.success ? 0 : 1;
}

}  // namespace kestrum
