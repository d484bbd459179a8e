#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "common/text_encoding.h"
#include "service/device_identity.h"

namespace kestrum {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A processor query that answers only when the test lets it, so that it outlasts the caller's
// limit for certain. Finished() waits until the worker has dropped its last copy of the
// query, which happens after it wrote into the shared state, so that every late access runs
// while the test still watches.
class HeldQuery {
  public:
    std::function<std::u16string()> Query(std::u16string answer) {
        auto gone = std::make_shared<Gone>(hold_);
        return [hold = hold_, gone, answer = std::move(answer)] {
            std::unique_lock<std::mutex> lock(hold->mutex);
            // The safety limit only keeps a faulty caller that waits for the worker from
            // hanging the test; it then sees the answer and fails.
            hold->answered = hold->changed.wait_for(lock, 30s, [&] { return hold->answerAllowed; });
            return answer;
        };
    }
    void Release() {
        std::lock_guard<std::mutex> lock(hold_->mutex);
        hold_->answerAllowed = true;
        hold_->changed.notify_all();
    }
    bool Finished() {
        std::unique_lock<std::mutex> lock(hold_->mutex);
        hold_->changed.wait(lock, [&] { return hold_->queryGone; });
        return hold_->answered;
    }

  private:
    struct Hold {
        std::mutex mutex;
        std::condition_variable changed;
        bool answerAllowed = false;
        bool answered = false;
        bool queryGone = false;
    };
    struct Gone {
        explicit Gone(std::shared_ptr<Hold> hold) : hold_(std::move(hold)) {}
        ~Gone() {
            std::lock_guard<std::mutex> lock(hold_->mutex);
            hold_->queryGone = true;
            hold_->changed.notify_all();
        }
        std::shared_ptr<Hold> hold_;
    };

    std::shared_ptr<Hold> hold_ = std::make_shared<Hold>();
};

// Lets a number of threads go on together.
class StartLine {
  public:
    explicit StartLine(int threads) : waiting_(threads) {}
    void ArriveAndWait() {
        std::unique_lock<std::mutex> lock(mutex_);
        if (--waiting_ == 0)
            allThere_.notify_all();
        else
            allThere_.wait(lock, [this] { return waiting_ == 0; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable allThere_;
    int waiting_;
};

std::function<std::u16string()> Answer(std::u16string text) {
    return [text] { return text; };
}

std::function<std::u16string()> Raise(bool ownTimeOut) {
    return [ownTimeOut]() -> std::u16string {
        if (ownTimeOut)
            throw ProcessorQueryTimeout();
        throw std::runtime_error("access denied");
    };
}

TEST(ProcessorQuery, QueryThatFinishesInTime) {
    struct Case {
        const char* name;
        std::function<std::u16string()> query;
        std::u16string text;
        bool timedOut;
    };
    const Case cases[] = {
        {"text", Answer(u"BFEBFBFF000906EA"), u"BFEBFBFF000906EA", false},
        {"empty answer", Answer(u""), u"", false},
        {"query's own time-out", Raise(true), u"", true},
        {"other exception", Raise(false), u"", false},
        {"non-standard exception", []() -> std::u16string { throw 42; }, u"", false},
    };
    for (const auto& c : cases) {
        const ProcessorQueryResult result =
            QueryProcessorIdWithTimeout(kProcessorQueryLimit, c.query);
        EXPECT_EQ(result.text, c.text) << c.name;
        EXPECT_EQ(result.timedOut, c.timedOut) << c.name;
    }
}

TEST(ProcessorQuery, ManyShortQueriesInARowEachGetTheirOwnAnswer) {
    // Each call leaves a worker that ends on its own; a thread library that recycles the
    // records of ended threads must not mix them up with the next ones.
    for (int i = 0; i < 200; ++i) {
        const std::u16string answer = u"answer " + WidenBytes(std::to_string(i));
        const ProcessorQueryResult result =
            QueryProcessorIdWithTimeout(kProcessorQueryLimit, Answer(answer));
        ASSERT_EQ(result.text, answer);
        ASSERT_FALSE(result.timedOut);
    }
}

TEST(ProcessorQuery, GivesUpOnASlowQueryAndLeavesTheWorkerToFinishAlone) {
    HeldQuery held;
    const Clock::time_point start = Clock::now();
    const ProcessorQueryResult result = QueryProcessorIdWithTimeout(100ms, held.Query(u"late"));
    const Clock::duration waited = Clock::now() - start;

    EXPECT_TRUE(result.timedOut);
    EXPECT_EQ(result.text, u"");
    EXPECT_GE(waited, 100ms);
    EXPECT_LT(waited, 10s);  // gave up without waiting for the worker

    // The worker now answers into the state the caller has already released, reading its
    // own copy of the query's captures.
    held.Release();
    EXPECT_TRUE(held.Finished());
}

struct Counted {
    std::atomic<int> processor{0};
    std::atomic<int> fallback{0};
    std::atomic<int> description{0};
};

DeviceQueries CountedQueries(Counted& counted, std::function<std::u16string()> processor,
                             std::function<std::u16string()> fallback) {
    DeviceQueries queries;
    queries.processorId = [&counted, processor] {
        ++counted.processor;
        return processor();
    };
    queries.machineFallback = [&counted, fallback] {
        ++counted.fallback;
        return fallback();
    };
    return queries;
}

TEST(DeviceIdentity, IdentifierFromProcessorOrFallback) {
    struct Case {
        const char* name;
        std::function<std::u16string()> processor;
        std::function<std::u16string()> fallback;
        std::u16string deviceId;
        bool fallbackAsked;
    };
    const Case cases[] = {
        {"processor id", Answer(u"BFEBFBFF000906EA"), Answer(u"machine"),
         u"QkZFQkZCRkYwMDA5MDZFQQ==", false},
        {"encoded as UTF-8", Answer(u"\u062C\u0647\u0627\u0632"), Answer(u"machine"),
         u"2KzZh9in2LI=", false},
        {"empty processor id", Answer(u""), Answer(u"3d1219c7c4c5404aaa1f6d2a48adfda4"),
         u"M2QxMjE5YzdjNGM1NDA0YWFhMWY2ZDJhNDhhZGZkYTQ=", true},
        {"empty processor id and fallback", Answer(u""), Answer(u""), u"", true},
        {"processor query failed", Raise(false), Answer(u"\u00E9"), u"w6k=", true},
        {"fallback failed", Answer(u""), Raise(false), u"", true},
        {"processor query timed out", Raise(true), Answer(u"machine"), u"", false},
    };
    for (const auto& c : cases) {
        Counted counted;
        const DeviceIdentity identity = ComputeDeviceIdentity(
            CountedQueries(counted, c.processor, c.fallback), kProcessorQueryLimit);
        EXPECT_EQ(identity.deviceId, c.deviceId) << c.name;
        EXPECT_EQ(counted.processor, 1) << c.name;
        EXPECT_EQ(counted.fallback, c.fallbackAsked ? 1 : 0) << c.name;
    }
}

TEST(DeviceIdentity, SlowProcessorQueryLeavesTheIdentifierEmptyWithoutFallback) {
    HeldQuery held;
    Counted counted;
    const DeviceIdentity identity = ComputeDeviceIdentity(
        CountedQueries(counted, held.Query(u"BFEBFBFF000906EA"), Answer(u"machine")), 100ms);
    EXPECT_EQ(identity.deviceId, u"");
    EXPECT_EQ(counted.fallback, 0);
    held.Release();
    EXPECT_TRUE(held.Finished());
}

TEST(DeviceIdentity, NoQueriesGiveNoIdentifierAndAnUnknownDevice) {
    const DeviceIdentity identity = ComputeDeviceIdentity(DeviceQueries{}, kProcessorQueryLimit);
    EXPECT_EQ(identity.deviceId, u"");
    EXPECT_EQ(identity.description, u"Unknown");
}

TEST(DeviceIdentity, DescriptionFromTwoValues) {
    using Value = std::function<std::optional<std::u16string>()>;
    const auto read = [](std::u16string text) -> Value { return [text] { return text; }; };
    const Value missing = [] { return std::nullopt; };
    const Value failing = []() -> std::optional<std::u16string> {
        throw std::runtime_error("unreadable");
    };
    struct Case {
        Value first;
        Value second;
        std::u16string description;
    };
    const Case cases[] = {
        {missing, missing, u"Unknown"},
        {Value(), Value(), u"Unknown"},
        {read(u"Lenovo"), missing, u"Lenovo"},
        {missing, read(u"ThinkPad X1"), u"ThinkPad X1"},
        {read(u"Lenovo"), read(u"ThinkPad X1"), u"Lenovo ThinkPad X1"},
        // an empty value is no value: no blank description, no leading or trailing blank
        {read(u""), read(u"ThinkPad X1"), u"ThinkPad X1"},
        {read(u"Lenovo"), read(u""), u"Lenovo"},
        {read(u""), read(u""), u"Unknown"},
        // a maker that calls itself unknown says nothing the model does not
        {read(u"Unknown"), read(u"ThinkPad X1"), u"ThinkPad X1"},
        {failing, read(u"ThinkPad X1"), u"ThinkPad X1"},
        {read(u"Lenovo"), failing, u"Lenovo"},
    };
    for (const auto& c : cases) {
        DeviceQueries queries;
        queries.processorId = Answer(u"BFEBFBFF000906EA");
        queries.descriptionFirst = c.first;
        queries.descriptionSecond = c.second;
        EXPECT_EQ(ComputeDeviceIdentity(queries, kProcessorQueryLimit).description, c.description);
    }
}

TEST(DeviceIdentityOnce, ConcurrentFirstCallersShareOneComputation) {
    Counted counted;
    DeviceQueries queries = CountedQueries(
        counted,
        [] {
            // Keeps the computation running while the other callers arrive.
            std::this_thread::sleep_for(50ms);
            return std::u16string(u"BFEBFBFF000906EA");
        },
        Answer(u"machine"));
    queries.descriptionFirst = [&counted] {
        ++counted.description;
        return std::optional<std::u16string>(u"Lenovo");
    };
    DeviceIdentityOnce once(queries);

    constexpr int kCallers = 4;
    StartLine ready(kCallers);
    std::vector<DeviceIdentity> seen(kCallers);
    std::vector<std::thread> callers;
    for (int i = 0; i < kCallers; ++i) {
        callers.emplace_back([&, i] {
            ready.ArriveAndWait();
            seen[i].deviceId = once.Get().deviceId;
            seen[i].description = once.Get().description;
        });
    }
    for (auto& caller : callers)
        caller.join();

    EXPECT_EQ(counted.processor, 1);
    EXPECT_EQ(counted.description, 1);
    for (const auto& identity : seen) {
        EXPECT_EQ(identity.deviceId, u"QkZFQkZCRkYwMDA5MDZFQQ==");
        EXPECT_EQ(identity.description, u"Lenovo");
    }
}

#if defined(__linux__)
TEST(LinuxDeviceQueries, ProcessorIdIsTheWindowsForm) {
    const std::u16string id = PlatformDeviceQueries().processorId();
    if (id.empty())
        GTEST_SKIP() << "no processor identifier on this architecture";
    ASSERT_EQ(id.size(), 16u);
    for (const char16_t unit : id)
        EXPECT_TRUE((unit >= u'0' && unit <= u'9') || (unit >= u'A' && unit <= u'F'));
    EXPECT_NE(GetDeviceId(), u"");
    EXPECT_EQ(GetDeviceId(), GetDeviceId());
}
#endif

}  // namespace
}  // namespace kestrum
