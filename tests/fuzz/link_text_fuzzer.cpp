// The link text as a browser hands it over: percent-decoding, the scheme word, the split into
// parts and the decryption of each, through DecodeLink (the decoding core of
// ParseSchemeArgs, which asks no service).
#include <string>
#include <string_view>

#include "common/text_encoding.h"
#include "link/scheme_args.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

bool StartsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

void Decode(const std::u16string& argument) {
    kestrum::DecodedLink link;
    std::string errorText;
    if (kestrum::DecodeLink(argument, link, errorText)) {
        FUZZ_CHECK(errorText.empty());
        FUZZ_CHECK(!link.token.empty() && !link.contentLinkId.empty());
        return;
    }
    // Every failure carries one of the reasons support can read.
    FUZZ_CHECK(StartsWith(errorText, "split_failed_parts_") ||
               errorText == "decrypt_failed_empty_strings" || StartsWith(errorText, "exception_"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Decode(kestrum::Utf8ToUtf16(bytes));
    Decode(kestrum::fuzz::Utf16Units(bytes));
    return 0;
}
