#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

namespace kestrum::platform {

// One answer of a listener, independent of the HTTP library.
struct Reply {
    int status = 200;
    std::string contentType = "application/json";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
};

// Bytes that are not UTF-8 (a forged token echoed back) are replaced, never thrown over.
inline std::string JsonText(const nlohmann::ordered_json& value) {
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

inline Reply JsonReply(int status, const nlohmann::ordered_json& value) {
    return {status, "application/json", JsonText(value), {}};
}

inline Reply MessageReply(int status, const std::string& message) {
    return JsonReply(status, {{"message", message}});
}

}  // namespace kestrum::platform
