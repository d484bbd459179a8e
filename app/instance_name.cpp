#include "app/instance_name.h"

#include "common/app_context.h"

namespace kestrum {

std::u16string InstanceKey(bool startedWithArguments) {
    std::u16string key(AppContext::productName);
    key += startedWithArguments ? u"|player" : u"|init";
    return key;
}

std::uint64_t InstanceKeyHash(std::u16string_view key) {
    std::uint64_t hash = 0x14650FB0739D0383ULL;
    for (char16_t unit : key) {
        if (unit >= u'A' && unit <= u'Z')
            unit = static_cast<char16_t>(unit + (u'a' - u'A'));
        hash ^= unit;
        hash *= 0x100000001B3ULL;
    }
    return hash;
}

std::u16string InstanceMutexName(std::u16string_view key) {
    static constexpr char16_t kHex[] = u"0123456789abcdef";
    std::uint64_t hash = InstanceKeyHash(key);
    std::u16string digits;
    do {
        digits.insert(digits.begin(), kHex[hash & 0xF]);
        hash >>= 4;
    } while (hash != 0);
    return u"Local\\MolvanePlayer.WebView2." + digits;
}

}  // namespace kestrum
