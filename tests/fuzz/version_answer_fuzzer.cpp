// The service's version answer, read against a running version the input chooses (so that
// the members read only for an update are reached too).
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "service/version_check.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const double runningVersions[] = {4.11, 0.0, -1e308};
    const double running = input.PickValueInArray(runningVersions);
    const std::string body = input.ConsumeRemainingBytesAsString();

    const kestrum::VersionCheckResult result = kestrum::ReadVersionAnswer(body, running);
    if (!result.hasUpdate) {
        FUZZ_CHECK(!result.mandatory);
        FUZZ_CHECK(result.downloadUrl.empty());
    }
    return 0;
}
