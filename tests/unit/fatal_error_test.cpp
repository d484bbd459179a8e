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

const FatalError kError{u"t", u"e", u"a", "SSL_host.test"};

// Several threads fail at once, then one more: the hook runs once, before any presentation.
[[noreturn]] void FailFromSeveralThreads() {
    std::atomic<int> hookRuns{0};
    std::atomic<int> presentedBeforeHook{0};
    std::atomic<int> presented{0};
    SetShutdownHook([&] { ++hookRuns; });
    ReportFatalErrorsInstead([&](const FatalError&) {
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

// A caller that got control back would go on with its failure result: exit code 3 here.
[[noreturn]] void FailAndCarryOn(bool onAnotherThread) {
    if (onAnotherThread) {
        std::thread([] { ShowFatalErrorDialog(kError); }).join();
    } else {
        ShowFatalErrorDialog(kError);
    }
    std::fprintf(stderr, "the caller carried on\n");
    std::exit(3);
}

TEST(FatalErrorDeathTest, TheProcessEndsWithExitCodeZeroWhateverIsInstalled) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        const char* name;
        void (*install)();
        const char* output;
    };
    const Case cases[] = {
        {"nothing installed (a web process, a tool)", [] { SetFatalErrorPresenter(nullptr); }, ""},
        {"a presenter that returns",
         [] {
             SetFatalErrorPresenter([](const FatalError& error) {
                 std::fprintf(stderr, "presented %s\n", error.code.c_str());
             });
         },
         "presented SSL_host.test"},
        {"a reporter taken back",
         [] {
             ReportFatalErrorsInstead([](const FatalError&) {});
             ReportFatalErrorsInstead(nullptr);
         },
         ""},
    };
    for (const auto& c : cases) {
        for (const bool onAnotherThread : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (onAnotherThread ? ", another thread" : ""));
            EXPECT_EXIT(
                {
                    c.install();
                    FailAndCarryOn(onAnotherThread);
                },
                testing::ExitedWithCode(0), c.output);
        }
    }
}

// Only a process that says so gets control back, with the error reported.
TEST(FatalError, ReportInsteadReturnsToTheCaller) {
    std::vector<std::string> codes;
    ReportFatalErrorsInstead([&](const FatalError& error) { codes.push_back(error.code); });
    ShowFatalErrorDialog(kError);
    ReportFatalErrorsInstead(nullptr);
    EXPECT_EQ(codes, std::vector<std::string>{"SSL_host.test"});
}

}  // namespace
}  // namespace kestrum
