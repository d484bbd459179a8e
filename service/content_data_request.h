#pragma once

#include <optional>
#include <string>

#include "service/content_data.h"

namespace kestrum {

// Reads the service's content answer: the fields from its data object (the data member when
// that is an object, else the whole answer), the watermark from the top level; absent or
// null members take their defaults. Nothing when the answer is not JSON or a member has the
// wrong type.
std::optional<ContentData> ReadContentAnswer(const std::string& body);

// The service's message in a failed answer ({"message": "..."}), or empty.
std::string ReadServiceMessage(const std::string& body);

// The form body of the content request. The link values are percent-encoded, so that an "&"
// or "=" inside a token cannot add or change fields.
std::string ContentRequestBody(const std::string& linkToken, const std::string& contentLinkId);

// Asks the link's server what `contentLinkId` names. Sets the device and client headers on
// the shared client first (they then go with its later requests too). Nothing on failure,
// with the service's message, or else the transport's error, in `errorText`.
std::optional<ContentData> GetContentData(const std::u16string& linkServer,
                                          const std::string& contentLinkId,
                                          const std::string& linkToken, std::string* errorText);

}  // namespace kestrum
