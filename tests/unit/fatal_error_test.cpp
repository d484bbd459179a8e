#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "common/shutdown.h"
#include "fatal/fatal_error.h"

namespace kestrum {
namespace {

// Several threads fail at once, then one more: the hook runs once, before any presentation.
[[noreturn]] void FailFromSeveralThreads() {
    std::atomic<int> hookRuns{0};
    std::atomic<int> presentedBeforeHook{0};
    std::atomic<int> presented{0};
    SetShutdownHook([&] { ++hookRuns; });
    SetFatalErrorPresenter([&](const FatalError&) {
        if (hookRuns == 0)
            ++presentedBeforeHook;
        ++presented;
    });
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([i] { ShowFatalErrorDialog({u"t", u"e", u"a", std::to_string(i)}); });
    for (std::thread& thread : threads)
        thread.join();
    ShowFatalErrorDialog(FatalError{u"t", u"e", u"a", "LAST"});
    std::fprintf(stderr, "hook runs %d, presented %d, before the hook %d\n", hookRuns.load(),
                 presented.load(), presentedBeforeHook.load());
    std::exit(hookRuns == 1 && presented == 5 && presentedBeforeHook == 0 ? 0 : 1);
}

// The once-only flag belongs to the process: a process of its own keeps other tests' fatal
// errors out of the count.
TEST(FatalErrorDeathTest, RunsTheShutdownHookOnceBeforeEveryPresentationFromAnyThread) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(FailFromSeveralThreads(), testing::ExitedWithCode(0),
                "hook runs 1, presented 5, before the hook 0");
}

}  // namespace
}  // namespace kestrum
