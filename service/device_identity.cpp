#include "service/device_identity.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "common/base64.h"
#include "common/text_encoding.h"

namespace kestrum {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::u16string_view kUnknownDevice = u"Unknown";
// The result of a query the caller may already have given up on. The worker writes the
// result fields and `done` under `resultLock` and wakes the caller, which so returns as soon
// as the query ends instead of at its next look.
struct QueryState {
    std::mutex handOver;  // held by the caller until `worker` holds the thread
    std::thread worker;
    std::mutex resultLock;
    std::condition_variable finished;
    std::u16string text;
    bool failed = false;
    Clock::time_point completedAt;
    bool done = false;
};

std::u16string MachineFallback(const std::function<std::u16string()>& query) {
    if (!query)
        return {};
    try {
        return query();
    } catch (...) {
        return {};
    }
}

// An empty value is treated as missing: it would otherwise leave an empty description or
// one that starts with a blank.
std::optional<std::u16string> DescriptionValue(
    const std::function<std::optional<std::u16string>()>& query) {
    if (!query)
        return std::nullopt;
    try {
        std::optional<std::u16string> value = query();
        if (value && value->empty())
            return std::nullopt;
        return value;
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace

ProcessorQueryResult QueryProcessorIdWithTimeout(std::chrono::milliseconds limit,
                                                 std::function<std::u16string()> query) {
    const ProcessorQueryResult timedOut{{}, true};
    auto state = std::make_shared<QueryState>();
    const Clock::time_point deadline = Clock::now() + limit;

    // The worker owns its copy of the query and a share of the state, so it may outlive
    // this call safely. It detaches itself before anything else: a thread detached by its
    // creator after it has finished can, with the MinGW threads library, have its thread
    // record handed to a new thread while it is still exiting, which then runs another
    // thread's function or none.
    auto work = [state, query = std::move(query)] {
        {
            std::lock_guard<std::mutex> lock(state->handOver);
            state->worker.detach();
        }
        std::u16string text;
        bool failed = false;
        try {
            text = query();
        } catch (const ProcessorQueryTimeout&) {
            failed = true;
        } catch (...) {
            text.clear();
        }
        std::lock_guard<std::mutex> lock(state->resultLock);
        state->text = std::move(text);
        state->failed = failed;
        state->completedAt = Clock::now();
        state->done = true;
        state->finished.notify_all();
    };
    {
        std::lock_guard<std::mutex> lock(state->handOver);
        try {
            state->worker = std::thread(std::move(work));
        } catch (...) {
            return timedOut;
        }
    }

    std::unique_lock<std::mutex> lock(state->resultLock);
    state->finished.wait_until(lock, deadline, [&] { return state->done; });
    if (state->done && !state->failed && state->completedAt <= deadline)
        return {state->text, false};
    return timedOut;
}

DeviceIdentity ComputeDeviceIdentity(const DeviceQueries& queries,
                                     std::chrono::milliseconds limit) {
    DeviceIdentity identity;

    ProcessorQueryResult raw;
    if (queries.processorId)
        raw = QueryProcessorIdWithTimeout(limit, queries.processorId);
    // A query that did not finish gives no identifier rather than the fallback: on a machine
    // whose query is only sometimes slow, the fallback would name it differently from the
    // runs where the query answers. A query that answers without a value does so every time.
    if (raw.text.empty() && !raw.timedOut)
        raw.text = MachineFallback(queries.machineFallback);
    if (!raw.text.empty())
        identity.deviceId = WidenBytes(Base64Encode(Utf16ToUtf8(raw.text)));

    identity.description = kUnknownDevice;
    if (std::optional<std::u16string> first = DescriptionValue(queries.descriptionFirst))
        identity.description = std::move(*first);
    if (std::optional<std::u16string> second = DescriptionValue(queries.descriptionSecond)) {
        if (identity.description == kUnknownDevice) {
            identity.description = std::move(*second);
        } else {
            identity.description += u' ';
            identity.description += *second;
        }
    }
    return identity;
}

DeviceIdentityOnce::DeviceIdentityOnce(DeviceQueries queries, std::chrono::milliseconds limit)
    : queries_(std::move(queries)), limit_(limit) {}

const DeviceIdentity& DeviceIdentityOnce::Get() {
    std::call_once(once_, [this] { identity_ = ComputeDeviceIdentity(queries_, limit_); });
    return identity_;
}

}  // namespace kestrum
