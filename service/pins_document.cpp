#include "service/pins_document.h"

#include <nlohmann/json.hpp>

#include "common/text_encoding.h"

namespace kestrum {

std::optional<std::vector<PinEntry>> ParsePinsDocument(const std::string& body) {
    const nlohmann::json document = nlohmann::json::parse(body, nullptr, false);
    if (document.is_discarded() || !document.is_array())
        return std::nullopt;
    std::vector<PinEntry> entries = DefaultPins();
    for (const auto& item : document) {
        if (!item.is_object() || !item.contains("scope") || !item.contains("pins"))
            continue;
        if (!item["scope"].is_string())
            return std::nullopt;
        PinEntry entry;
        entry.scope = Utf8ToUtf16(item["scope"].get<std::string>());
        if (item["pins"].is_array()) {
            for (const auto& pin : item["pins"]) {
                if (!pin.is_string())
                    continue;
                std::string text = pin.get<std::string>();
                if (text.size() > 7 && text.compare(0, 7, "sha256/") == 0)
                    text.erase(0, 7);
                entry.pins.push_back(std::move(text));
            }
        }
        if (!entry.pins.empty())
            entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace kestrum
