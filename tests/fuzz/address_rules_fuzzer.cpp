// The address rules: YouTube and Zoom recognition and YouTube normalisation, the base and
// parts of service addresses, and the browser's host rules, navigation policy and request
// handling. The input gives two addresses (a target and the link's server or content).
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "browser/header_decisions.h"
#include "browser/host_rules.h"
#include "browser/navigation_policy.h"
#include "browser/request_handling.h"
#include "common/app_context.h"
#include "common/text_case.h"
#include "common/text_encoding.h"
#include "link/content_url_rules.h"
#include "service/base_url.h"
#include "service/url_parts.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

std::u16string Text(FuzzedDataProvider& input, bool rawUnits, std::size_t maxLength) {
    const std::string bytes = input.ConsumeRandomLengthString(maxLength);
    return rawUnits ? kestrum::fuzz::Utf16Units(bytes) : kestrum::Utf8ToUtf16(bytes);
}

bool HasUpperCaseAscii(const std::u16string& text) {
    for (char16_t unit : text) {
        if (unit >= u'A' && unit <= u'Z')
            return true;
    }
    return false;
}

void CheckUrlParts(const std::u16string& address) {
    const auto parts = kestrum::SplitUrl(address);
    if (!parts)
        return;
    FUZZ_CHECK(!parts->host.empty() && parts->host.size() <= 255);
    FUZZ_CHECK(parts->port != 0);
    FUZZ_CHECK(!parts->path.empty() && parts->path.front() == u'/' && parts->path.size() <= 2047);
    for (char16_t unit : parts->host)
        FUZZ_CHECK(unit > u' ' && unit != u'\\' && unit != u'/');
}

void CheckHostRules(const std::u16string& a, const std::u16string& b) {
    const std::u16string hostA = kestrum::HostOf(a);
    const std::u16string hostB = kestrum::HostOf(b);
    FUZZ_CHECK(!HasUpperCaseAscii(hostA));
    FUZZ_CHECK(kestrum::IsSameSite(hostA, hostB) == kestrum::IsSameSite(hostB, hostA));
    FUZZ_CHECK(kestrum::IsSameSite(a, b) == kestrum::IsSameSite(b, a));
    if (kestrum::IsHostWithin(hostA, hostB))
        FUZZ_CHECK(kestrum::EndsWith(hostA, hostB));
    kestrum::LastTwoLabels(a);
    kestrum::IsIpLiteral(a);
    kestrum::IsAllowedHost(hostA);
    kestrum::ShareVideoCdnFamily(hostA, hostB, kestrum::VideoCdnFamilies());
    kestrum::IsYouTubeHost(hostA);
    kestrum::IsZoomHost(hostA);
}

void CheckBrowserDecisions(const std::u16string& target, const std::u16string& other,
                           FuzzedDataProvider& input) {
    static const std::u16string kinds[] = {u"url_direct", u"video", u"pdf", u"pdf_url", u""};
    kestrum::AppContext context;
    context.contentUrl = other;
    context.linkServer = input.ConsumeBool() ? other : target;
    context.contentKind = input.PickValueInArray(kinds);
    kestrum::ContentNavigationPolicy(target, context);

    const std::u16string server = kestrum::StartWindowLinkServer(target, other);
    FUZZ_CHECK(server == other || kestrum::StartsWith(target, server));

    const bool pinsPass = input.ConsumeBool();
    const kestrum::DeviceValues device{u"id", u"description"};
    const auto window =
        input.ConsumeBool() ? kestrum::BrowserWindow::kMain : kestrum::BrowserWindow::kStart;
    const kestrum::RequestDecision decision = kestrum::DecideRequest(
        target, window, device, other, [&](const std::u16string&) { return pinsPass; });
    if (decision.blocked)
        FUZZ_CHECK(decision.headers.empty() && !decision.blockedHost.empty());
    kestrum::PlatformNavigationHeaders(target, device);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const bool rawUnits = input.ConsumeBool();
    const std::u16string other = Text(input, rawUnits, 512);
    const std::u16string target = Text(input, rawUnits, 4096);

    kestrum::IsYouTubeUrl(target);
    kestrum::IsZoomUrl(target);
    kestrum::NormalizeYouTubeUrl(target, other);

    const std::u16string base = kestrum::NormalizeBaseUrl(target);
    FUZZ_CHECK(base.empty() || !kestrum::EndsWith(base, u"/"));
    CheckUrlParts(target);
    CheckUrlParts(base);

    CheckHostRules(target, other);
    CheckBrowserDecisions(target, other, input);
    return 0;
}
