// The whole link handling behind valid envelopes: the input chooses the three plain texts,
// how a browser may have mangled the link on its way, and what a stand-in service answers
// (content answer or failure, page script). Nothing here touches the network.
#include <fuzzer/FuzzedDataProvider.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "common/app_context.h"
#include "common/text_case.h"
#include "common/text_encoding.h"
#include "link/scheme_args.h"
#include "service/content_data_request.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// What a browser may do to a link on its way to the player; none of it changes its meaning.
enum class Mangling {
    kNone,
    kPlusAsBlank,
    kPlusPercentEncoded,
    kUpperCaseScheme,
    kSlashes,
    kMaxValue = kSlashes
};

std::u16string Mangle(std::u16string link, Mangling mangling) {
    switch (mangling) {
        case Mangling::kNone:
            break;
        case Mangling::kPlusAsBlank:
            for (auto& unit : link) {
                if (unit == u'+')
                    unit = u' ';
            }
            break;
        case Mangling::kPlusPercentEncoded: {
            std::u16string encoded;
            for (char16_t unit : link)
                encoded += unit == u'+' ? std::u16string(u"%2B") : std::u16string(1, unit);
            link = encoded;
            break;
        }
        case Mangling::kUpperCaseScheme:
            link.replace(0, 8, u"\"KESTRUM:");
            break;
        case Mangling::kSlashes:
            link.insert(8, u"//");
            link += u"/";
            break;
    }
    return link;
}

std::string Envelope(const std::string& plain, FuzzedDataProvider& input) {
    std::string iv = input.ConsumeBytesAsString(16);
    iv.resize(16, '\0');
    return kestrum::fuzz::SealEnvelope(plain, iv);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string token = input.ConsumeRandomLengthString(256);
    const std::string contentLinkId = input.ConsumeRandomLengthString(512);
    const std::string server = input.ConsumeRandomLengthString(256);
    const auto mangling = input.ConsumeEnum<Mangling>();
    const bool serviceSucceeds = input.ConsumeBool();
    const bool scriptArrives = input.ConsumeBool();
    const bool scriptClientFails = input.ConsumeBool();
    const std::string scriptBody = input.ConsumeRandomLengthString(512);
    const std::string serviceBody = input.ConsumeRemainingBytesAsString();

    FuzzedDataProvider ivs(data, size);  // IVs need not be independent of the rest
    const std::u16string link =
        Mangle(u"kestrum:" + kestrum::WidenBytes(Envelope(token, ivs)) + u":" +
                   kestrum::WidenBytes(Envelope(contentLinkId, ivs)) + u":" +
                   kestrum::WidenBytes(Envelope(server, ivs)),
               mangling);

    std::string trimmedServer = server;
    kestrum::TrimTrailingSlashes(trimmedServer);

    kestrum::LinkServices services;
    int serviceCalls = 0;
    services.getContentData = [&](const std::u16string&, const std::string& id,
                                  const std::string& linkToken, std::string& serviceMessage) {
        ++serviceCalls;
        FUZZ_CHECK(id == contentLinkId && linkToken == token);
        if (serviceSucceeds)
            return kestrum::ReadContentAnswer(serviceBody);
        serviceMessage = kestrum::ReadServiceMessage(serviceBody);
        return std::optional<kestrum::ContentData>();
    };
    services.fetchPageScript = [&](const std::u16string&) -> std::optional<std::string> {
        if (scriptClientFails)
            throw std::runtime_error("WinHttpOpen failed");
        if (!scriptArrives)
            return std::nullopt;
        return scriptBody;
    };

    kestrum::AppContext context;
    std::string errorText;
    const bool parsedOk = kestrum::ParseSchemeArgs(link, errorText, context, services);
    FUZZ_CHECK(parsedOk == errorText.empty());
    if (token.empty() || contentLinkId.empty() || server.empty()) {
        FUZZ_CHECK(errorText == "decrypt_failed_empty_strings");
        return 0;
    }
    // The parts decrypt to exactly what was sealed, whatever the browser did to the link:
    // what remains can only fail on the service's side.
    FUZZ_CHECK(errorText.compare(0, 19, "split_failed_parts_") != 0);
    FUZZ_CHECK(errorText != "decrypt_failed_empty_strings");
    if (errorText.compare(0, 10, "exception_") == 0)
        FUZZ_CHECK(scriptClientFails && errorText == "exception_WinHttpOpen failed");
    FUZZ_CHECK(serviceCalls <= 1);
    FUZZ_CHECK(context.linkServer == kestrum::Utf8ToUtf16(trimmedServer));
    return 0;
}
