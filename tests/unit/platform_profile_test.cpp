#include <gtest/gtest.h>

#include "common/platform_profile.h"

namespace kestrum {
namespace {

TEST(PlatformProfile, RestoresEveryMember) {
    for (int i = 0; i < static_cast<int>(ProfileItem::kCount); ++i) {
        const std::string text = ProfileText(static_cast<ProfileItem>(i));
        EXPECT_FALSE(text.empty()) << "item " << i;
    }
    EXPECT_EQ(RestoreProfileSecret(ProfileItem::kLinkKey).value().size(), 32u);
    EXPECT_EQ(RestoreProfileSecret(ProfileItem::kDiagnosticKey).value().size(), 16u);
}

TEST(PlatformProfile, ObjectMembersParse) {
    const auto pins = ProfileJson(ProfileItem::kDefaultPins);
    ASSERT_TRUE(pins.is_object());
    EXPECT_TRUE(pins["scope"].is_string());
    EXPECT_TRUE(pins["pins"].is_array());
    EXPECT_FALSE(ProfileMember(ProfileItem::kClientHeader, "name").empty());
    EXPECT_EQ(ProfileMember(ProfileItem::kClientHeader, "missing"), "");
    EXPECT_EQ(ProfileMember(ProfileItem::kLinkKey, "name"), "");  // not an object
}

TEST(SecretText, WipesItsCharactersWhenReleased) {
    SecretText secret(std::string("sensitive"));
    const char* data = secret.value().data();
    secret.Wipe();
    EXPECT_EQ(std::string(data, 9), std::string(9, '\0'));
}

}  // namespace
}  // namespace kestrum
