// What every request of a page costs in the web process once its host has passed the pin
// check: the decision and its headers, on the thread that sends the request.
#include <benchmark/benchmark.h>

#include <string>

#include "browser/request_handling.h"
#include "common/platform_profile.h"
#include "common/text_encoding.h"
#include "service/page_host_pins.h"
#include "service/pin_store.h"

namespace {

std::u16string PlatformAddress() {
    const auto fragments = kestrum::ProfileJson(kestrum::ProfileItem::kPlatformHostFragments);
    return u"https://" + kestrum::Utf8ToUtf16(fragments.at(0).get<std::string>()) +
           u":8443/content/lesson-page.html?lesson=7";
}

std::u16string MediaAddress() {
    return u"https://video.unlisted.example/library/1234/lesson-07" +
           kestrum::Utf8ToUtf16(
               kestrum::ProfileMember(kestrum::ProfileItem::kMediaPatterns, "suffix20"));
}

// The process's real pin check, with every host of these cases already remembered as passed:
// with no pins stored a host passes at its first check, without a network exchange.
bool HostPinsPass(const std::u16string& host) {
    return kestrum::CheckHostPins(host);
}

void DecideRequests(benchmark::State& state, const std::u16string& url,
                    std::size_t expectedHeaders) {
    kestrum::ReplacePins({});
    const kestrum::DeviceValues device{u"0F3A9C2B7D41E", u"Maker Model 14"};
    const std::u16string linkServer = u"https://localhost:8443/";
    const auto decide = [&] {
        return kestrum::DecideRequest(url, kestrum::BrowserWindow::kMain, device, linkServer,
                                      HostPinsPass);
    };
    // The first request of a host checks it; the ones measured find it remembered.
    const kestrum::RequestDecision first = decide();
    if (first.blocked || first.headers.size() != expectedHeaders) {
        state.SkipWithError("unexpected decision for the address");
        return;
    }
    for (auto _ : state) {
        kestrum::RequestDecision decision = decide();
        benchmark::DoNotOptimize(decision);
    }
}

// The client header and both device headers.
void BM_DecideRequestPlatformAddress(benchmark::State& state) {
    DecideRequests(state, PlatformAddress(), 3);
}
BENCHMARK(BM_DecideRequestPlatformAddress);

// The client header only.
void BM_DecideRequestOutsideHost(benchmark::State& state) {
    DecideRequests(state, u"https://cdn.unlisted.example/assets/app.3f9c1b.js", 1);
}
BENCHMARK(BM_DecideRequestOutsideHost);

// The client header and both media device headers.
void BM_DecideRequestMediaAddress(benchmark::State& state) {
    DecideRequests(state, MediaAddress(), 3);
}
BENCHMARK(BM_DecideRequestMediaAddress);

}  // namespace
