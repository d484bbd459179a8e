#pragma once

// Layout of the scrambled profile data that the build generates from the platform profile.
namespace kestrum::profile_data {

struct ItemRecord {
    unsigned offset;
    unsigned length;
    unsigned seed;
    bool isJson;  // the member is an object or array, restored as its JSON text
};

extern const unsigned char kScrambled[];
extern const ItemRecord kItems[];
extern const unsigned kItemCount;

}  // namespace kestrum::profile_data
