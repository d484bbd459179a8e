// The service's content answer and its failure message, and the request body built from
// hostile link values.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "service/content_data_request.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string body(reinterpret_cast<const char*>(data), size);
    kestrum::ReadContentAnswer(body);
    kestrum::ReadServiceMessage(body);

    FuzzedDataProvider input(data, size);
    const std::string token = input.ConsumeRandomLengthString();
    const std::string contentLinkId = input.ConsumeRemainingBytesAsString();
    const std::string form = kestrum::ContentRequestBody(token, contentLinkId);
    const std::string empty = kestrum::ContentRequestBody("", "");
    // The link values cannot add or change fields of the form.
    std::size_t separators = 0, emptySeparators = 0;
    for (char c : form)
        separators += (c == '&' || c == '=') ? 1 : 0;
    for (char c : empty)
        emptySeparators += (c == '&' || c == '=') ? 1 : 0;
    FUZZ_CHECK(separators == emptySeparators);
    return 0;
}
