#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "common/platform_profile_items.h"
#include "common/secret_text.h"

namespace kestrum {

// The platform's identity texts (keys, token, addresses, header names, pins, host lists)
// chosen at build time. They are kept scrambled in the binary and restored on each use, so
// callers hold a plain copy only as long as they need it.

// Restores a text member; the copy wipes itself when released.
SecretText RestoreProfileSecret(ProfileItem item);

// Restores a text member for texts that are not secret once in use (addresses, names).
std::string ProfileText(ProfileItem item);

// Restores an object or array member, parsed.
nlohmann::json ProfileJson(ProfileItem item);

// A text member of an object member, for example ProfileMember(kClientHeader, "name").
std::string ProfileMember(ProfileItem item, const char* member);

}  // namespace kestrum
