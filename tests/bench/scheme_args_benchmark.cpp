// How long link decoding takes for a link that names its content by address (no service
// request): the whole of what the learner waits for between click and window.
#include <benchmark/benchmark.h>

#include "common/platform_profile.h"
#include "common/text_encoding.h"
#include "link/scheme_args.h"
#include "tests/support/reference_crypto.h"

namespace {

std::u16string DirectAddressLink() {
    const std::string key = kestrum::RestoreProfileSecret(kestrum::ProfileItem::kLinkKey).value();
    const auto part = [&](const std::string& plain) {
        return kestrum::Utf8ToUtf16(reference::Envelope(plain, key));
    };
    return u"kestrum:" + part("a-learner-token-of-forty-characters-long") + u":" +
           part("https://video.example.test/library/1234/lesson-07/playlist.m3u8") + u":" +
           part("https://platform.example.test");
}

void BM_ParseSchemeArgsDirectAddress(benchmark::State& state) {
    const std::u16string link = DirectAddressLink();
    const kestrum::LinkServices services;
    for (auto _ : state) {
        kestrum::AppContext context;
        std::string error;
        const bool ok = kestrum::ParseSchemeArgs(link, error, context, services);
        if (!ok)
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(context);
    }
}
BENCHMARK(BM_ParseSchemeArgsDirectAddress);

}  // namespace

BENCHMARK_MAIN();
