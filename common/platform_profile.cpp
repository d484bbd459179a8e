#include "common/platform_profile.h"

#include "common/platform_profile_data.h"

namespace kestrum {
namespace {

// Must match the keystream of cmake/GenerateProfile.cmake.
std::string Restore(ProfileItem item) {
    const auto index = static_cast<unsigned>(item);
    if (index >= profile_data::kItemCount)
        return {};
    const profile_data::ItemRecord& record = profile_data::kItems[index];
    std::string out(record.length, '\0');
    unsigned state = record.seed;
    for (unsigned i = 0; i < record.length; ++i) {
        state = (state * 1103515245u + 12345u) & 0x7FFFFFFFu;
        out[i] = static_cast<char>(profile_data::kScrambled[record.offset + i] ^
                                   ((state >> 16) & 0xFFu));
    }
    return out;
}

}  // namespace

SecretText RestoreProfileSecret(ProfileItem item) {
    return SecretText(Restore(item));
}

std::string ProfileText(ProfileItem item) {
    return Restore(item);
}

nlohmann::json ProfileJson(ProfileItem item) {
    SecretText text(Restore(item));
    return nlohmann::json::parse(text.value(), nullptr, /*allow_exceptions=*/false);
}

std::string ProfileMember(ProfileItem item, const char* member) {
    const nlohmann::json object = ProfileJson(item);
    if (!object.is_object())
        return {};
    const auto found = object.find(member);
    if (found == object.end() || !found->is_string())
        return {};
    return found->get<std::string>();
}

}  // namespace kestrum
