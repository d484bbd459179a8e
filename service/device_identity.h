#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>

namespace kestrum {

// The platform recognises a learner's machine by an identifier derived from its processor
// identifier, shown beside a readable description of the machine. Both are computed once per
// process; an empty identifier means none could be read, and start-up refuses to go on.

// How long the processor query may take before the machine counts as unidentifiable.
inline constexpr std::chrono::milliseconds kProcessorQueryLimit{5000};

// Raised by a processor query whose system interface reports its own time-out.
class ProcessorQueryTimeout : public std::runtime_error {
  public:
    ProcessorQueryTimeout() : std::runtime_error("processor query timed out") {}
};

struct ProcessorQueryResult {
    std::u16string text;  // the processor identifier, or empty
    bool timedOut = false;
};

// Runs `query` on a detached thread and waits at most `limit` for it, woken when it ends.
// Timed out when the limit passed (or the query finished later than it), when the query
// raised ProcessorQueryTimeout, or when no thread could be started; the text is then empty.
// Any other exception gives an empty text that is not timed out. A worker still running on
// return keeps its own copy of `query` and finishes on its own.
ProcessorQueryResult QueryProcessorIdWithTimeout(std::chrono::milliseconds limit,
                                                 std::function<std::u16string()> query);

// What the operating system must supply. An unset callable counts as a value not read.
struct DeviceQueries {
    std::function<std::u16string()> processorId;  // runs on the query's worker thread
    // A machine-wide identity, used when the processor query finishes with no text.
    std::function<std::u16string()> machineFallback;
    // The two parts of the description (maker, then model); nullopt when not read.
    std::function<std::optional<std::u16string>()> descriptionFirst;
    std::function<std::optional<std::u16string>()> descriptionSecond;
};

// Implemented by each platform backend.
DeviceQueries PlatformDeviceQueries();

struct DeviceIdentity {
    std::u16string deviceId;  // Base64 of the UTF-8 raw value, or empty
    std::u16string description;
};

// The whole computation, once, without caching:
// - the processor query within `limit`; timed out gives an empty identifier (the fallback is
//   not asked); finished without text asks the machine fallback instead;
// - identifier = Base64 of the UTF-8 bytes of the raw value, empty when there is none;
// - description = "Unknown", replaced by the first value when read, then the second value
//   either replaces a description that is still "Unknown" or follows the first after one
//   space. An empty value, or a query that throws, counts as not read.
DeviceIdentity ComputeDeviceIdentity(const DeviceQueries& queries, std::chrono::milliseconds limit);

// The identity computed on the first Get(); concurrent callers wait for that one computation
// and all callers get the same stored values.
class DeviceIdentityOnce {
  public:
    explicit DeviceIdentityOnce(DeviceQueries queries,
                                std::chrono::milliseconds limit = kProcessorQueryLimit);
    DeviceIdentityOnce(const DeviceIdentityOnce&) = delete;
    DeviceIdentityOnce& operator=(const DeviceIdentityOnce&) = delete;

    const DeviceIdentity& Get();

  private:
    DeviceQueries queries_;
    std::chrono::milliseconds limit_;
    std::once_flag once_;
    DeviceIdentity identity_;
};

// The process-wide values over the platform backend. Defined inline so that only a program
// that asks for them needs a backend linked in.
inline DeviceIdentityOnce& ProcessDeviceIdentity() {
    static DeviceIdentityOnce identity(PlatformDeviceQueries());
    return identity;
}

inline std::u16string GetDeviceId() {
    return ProcessDeviceIdentity().Get().deviceId;
}

inline std::u16string GetDeviceDescription() {
    return ProcessDeviceIdentity().Get().description;
}

}  // namespace kestrum
