#pragma once

// What the integration tests share: the stand-in's addresses from the environment, its
// control listener, and what a refused server may have seen of a request.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/platform_profile.h"
#include "common/text_encoding.h"
#include "service/http_client.h"

namespace kestrum::testing_stand_in {

inline std::u16string Env(const char* name) {
    const char* value = std::getenv(name);
    return Utf8ToUtf16(value ? value : "");
}

// The stand-in's control listener: its request log and its answer modes.
class Control {
  public:
    explicit Control(std::u16string base) : base_(std::move(base)) {}
    void Clear() { client_.Post(base_ + u"/__log/clear", "", u"application/json"); }
    nlohmann::json Log() {
        return nlohmann::json::parse(client_.Get(base_ + u"/__log").body, nullptr, false);
    }
    void Set(const nlohmann::json& settings) {
        ASSERT_TRUE(
            client_.Post(base_ + u"/__settings", settings.dump(), u"application/json").success);
    }
    std::string Link(const std::string& name) {
        const auto links =
            nlohmann::json::parse(client_.Get(base_ + u"/__links").body, nullptr, false);
        return links.value(name, std::string());
    }

  private:
    std::u16string base_;
    HttpClient client_;
};

inline std::vector<std::string> Requests(const nlohmann::json& log) {
    std::vector<std::string> lines;
    for (const auto& entry : log) {
        lines.push_back(entry["listener"].get<std::string>() + " " +
                        entry["method"].get<std::string>() + " " +
                        entry["target"].get<std::string>());
    }
    return lines;
}

// What a server whose chain fails the pin check may have received of a request: nothing
// where the chain is judged inside the handshake (Linux), at most the bare pre-flight where
// the system's HTTP stack sends a request before its certificate can be read (Windows):
// no header of the client, no device identity, no body.
inline void ExpectNothingOfTheRequest(const nlohmann::json& log) {
    const std::string idHeader = ProfileMember(ProfileItem::kDeviceHeaders, "deviceId");
    for (const auto& entry : log) {
        EXPECT_EQ(entry["method"], "HEAD") << entry.dump();
        EXPECT_EQ(entry["target"], "/") << entry.dump();
        EXPECT_FALSE(entry["headers"].contains("X-Secret")) << entry.dump();
        EXPECT_FALSE(entry["headers"].contains(idHeader)) << entry.dump();
        EXPECT_EQ(entry["bodyLength"], 0) << entry.dump();
    }
#ifndef _WIN32
    EXPECT_TRUE(log.empty()) << log.dump();
#endif
}

}  // namespace kestrum::testing_stand_in
