// What a trace line costs the player now that it also goes to the support log: the file is
// opened, appended to and closed for each line (rotating as it fills), with four link values
// withheld; and what it costs where the log is off (the web process, the tool).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>

#include "common/support_log.h"

namespace {

constexpr const char* kLine =
    "Navigation refused before its request: https://elsewhere.example/a?b=c";

void Withhold(kestrum::SupportLog& log) {
    log.Withhold("a-learner-token-of-forty-characters-long");
    log.Withhold("https://video.example.test/library/1234/lesson-07/playlist.m3u8");
    log.Withhold("https://platform.example.test/");
    log.Withhold("https://platform.example.test");
}

void BM_SupportLogWrite(benchmark::State& state) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("kestrum-log-bench-" +
         std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    kestrum::SupportLog log;
    if (!log.Start(folder)) {
        state.SkipWithError("the log folder could not be made");
        return;
    }
    Withhold(log);
    for (auto _ : state)
        log.Write(kLine);
    log.Stop();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}
BENCHMARK(BM_SupportLogWrite);

void BM_SupportLogWriteWhenOff(benchmark::State& state) {
    kestrum::SupportLog log;
    Withhold(log);
    for (auto _ : state)
        log.Write(kLine);
}
BENCHMARK(BM_SupportLogWriteWhenOff);

}  // namespace
