#include "service/pin_store.h"

#include <mutex>
#include <shared_mutex>

#include "common/platform_profile.h"
#include "common/text_case.h"
#include "common/text_encoding.h"

namespace kestrum {
namespace {

// Hosts and scopes compare as the transport uses a host: lower case, without the trailing
// dot of a fully qualified name.
std::u16string Comparable(std::u16string_view name) {
    std::u16string lower = ToLowerCopy(name);
    if (lower.ends_with(u'.'))
        lower.pop_back();
    return lower;
}

std::shared_mutex storeLock;
std::vector<PinEntry>& Store() {
    static std::vector<PinEntry> store;
    return store;
}

}  // namespace

std::vector<PinEntry> DefaultPins() {
    const nlohmann::json defaults = ProfileJson(ProfileItem::kDefaultPins);
    PinEntry entry;
    if (defaults.is_object()) {
        entry.scope = Utf8ToUtf16(defaults.value("scope", std::string()));
        if (const auto pins = defaults.find("pins"); pins != defaults.end() && pins->is_array()) {
            for (const auto& pin : *pins) {
                if (pin.is_string())
                    entry.pins.push_back(pin.get<std::string>());
            }
        }
    }
    return {entry};
}

void ReplacePins(const std::vector<PinEntry>& entries) {
    const std::unique_lock<std::shared_mutex> guard(storeLock);
    Store() = entries;
}

std::vector<PinEntry> CurrentPins() {
    const std::shared_lock<std::shared_mutex> guard(storeLock);
    return Store();
}

std::optional<PinEntry> FindPins(const std::u16string& host) {
    const std::u16string lowerHost = Comparable(host);
    const std::shared_lock<std::shared_mutex> guard(storeLock);
    const PinEntry* best = nullptr;
    std::size_t bestLength = 0;
    for (const PinEntry& entry : Store()) {
        const std::u16string scope = Comparable(entry.scope);
        if (scope == lowerHost)
            return entry;
        if (scope.size() > bestLength && EndsWith(lowerHost, u"." + scope)) {
            best = &entry;
            bestLength = scope.size();
        }
    }
    if (best)
        return *best;
    return std::nullopt;
}

}  // namespace kestrum
