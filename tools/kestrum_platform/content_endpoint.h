#pragma once

#include <string>
#include <vector>

#include "tools/kestrum_platform/catalogue.h"
#include "tools/kestrum_platform/reply.h"
#include "tools/kestrum_platform/service_profile.h"

namespace kestrum::platform {

// The token that the service treats as an ended session.
inline constexpr const char* kExpiredToken = "expired";

// The content data endpoint. The player's request is checked strictly (PUT, the form content
// type, a body that is exactly token field + token + content field + identifier) so that a
// client fault shows as a 400 with the reason instead of passing unnoticed.
Reply AnswerContentRequest(const ServiceProfile& profile,
                           const std::vector<SampleContent>& catalogue, const std::string& method,
                           const std::string& contentType, const std::string& body);

}  // namespace kestrum::platform
