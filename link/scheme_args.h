#pragma once

#include <functional>
#include <optional>
#include <string>

#include "common/app_context.h"
#include "service/content_data.h"

namespace kestrum {

// The three decrypted parts of a scheme link.
struct DecodedLink {
    std::string token;
    std::string contentLinkId;
    std::string server;  // trailing "/" and "\" removed, as it is stored in linkServer
};

// What link decoding asks of the platform service. Unset members count as a service that
// answered nothing.
struct LinkServices {
    // The content that `contentLinkId` names on `linkServer`; nothing on failure, with the
    // service's message in `serviceMessage` when it sent one.
    std::function<std::optional<ContentData>(
        const std::u16string& linkServer, const std::string& contentLinkId,
        const std::string& linkToken, std::string& serviceMessage)>
        getContentData;
    // The page script: the body of an authenticated 2xx answer, nothing otherwise (a script
    // that does not arrive is skipped). May throw when no network client can be created.
    std::function<std::optional<std::string>(const std::u16string& address)> fetchPageScript;
};

// Decrypts the three parts of a link without asking any service. False with the same reason
// texts as ParseSchemeArgs ("split_failed_parts_N", "decrypt_failed_empty_strings",
// "exception_<message>", "unknown_exception").
bool DecodeLink(const std::u16string& linkArgument, DecodedLink& link, std::string& errorText);

// Turns the link argument (as chosen from the command line, still percent-encoded) into the
// link fields of `context`. False with `errorText` set: a text beginning "server:" carries
// the service's message for the learner; any other text is a reason for a diagnostic code.
// Never throws.
bool ParseSchemeArgs(const std::u16string& linkArgument, std::string& errorText,
                     AppContext& context, const LinkServices& services);

}  // namespace kestrum
