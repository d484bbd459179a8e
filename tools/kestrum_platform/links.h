#pragma once

#include <string>

namespace kestrum::platform {

// A scheme link as the platform's pages carry it: "kestrum:" and the token, content and
// server each sealed with the profile's link key.
std::string MintLink(const std::string& token, const std::string& content,
                     const std::string& server);

}  // namespace kestrum::platform
