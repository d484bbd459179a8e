#include "browser/web_process_settings.h"

#include <nlohmann/json.hpp>

#include "common/text_encoding.h"

namespace kestrum {
namespace {

std::optional<std::u16string> Text(const nlohmann::json& object, const char* name) {
    const auto found = object.find(name);
    if (found == object.end() || !found->is_string())
        return std::nullopt;
    return Utf8ToUtf16(found->get<std::string>());
}

}  // namespace

std::string WebProcessSettingsJson(const WebProcessSettings& settings) {
    nlohmann::json pins = nlohmann::json::array();
    for (const PinEntry& entry : settings.pins)
        pins.push_back({{"scope", Utf16ToUtf8(entry.scope)}, {"pins", entry.pins}});
    nlohmann::json passed = nlohmann::json::array();
    for (const std::u16string& host : settings.passedHosts)
        passed.push_back(Utf16ToUtf8(host));
    const nlohmann::json document = {
        {"window", settings.window == BrowserWindow::kStart ? "start" : "main"},
        {"deviceId", Utf16ToUtf8(settings.device.id)},
        {"deviceDescription", Utf16ToUtf8(settings.device.description)},
        {"linkServer", Utf16ToUtf8(settings.linkServer)},
        {"pins", pins},
        {"contentUrl", Utf16ToUtf8(settings.contentUrl)},
        {"contentKind", Utf16ToUtf8(settings.contentKind)},
        {"passedHosts", passed}};
    return document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::optional<WebProcessSettings> ParseWebProcessSettings(const std::string& json) {
    const nlohmann::json document = nlohmann::json::parse(json, nullptr, false);
    if (!document.is_object())
        return std::nullopt;
    const auto window = Text(document, "window");
    const auto id = Text(document, "deviceId");
    const auto description = Text(document, "deviceDescription");
    const auto linkServer = Text(document, "linkServer");
    const auto pins = document.find("pins");
    const auto contentUrl = Text(document, "contentUrl");
    const auto contentKind = Text(document, "contentKind");
    if (!window || (*window != u"main" && *window != u"start") || !id || !description ||
        !linkServer || pins == document.end() || !pins->is_array() || !contentUrl || !contentKind)
        return std::nullopt;

    WebProcessSettings settings;
    settings.window = *window == u"start" ? BrowserWindow::kStart : BrowserWindow::kMain;
    settings.device = {*id, *description};
    settings.linkServer = *linkServer;
    settings.contentUrl = *contentUrl;
    settings.contentKind = *contentKind;
    for (const auto& entry : *pins) {
        if (!entry.is_object())
            return std::nullopt;
        const auto scope = Text(entry, "scope");
        const auto list = entry.find("pins");
        if (!scope || list == entry.end() || !list->is_array())
            return std::nullopt;
        PinEntry pin{*scope, {}};
        for (const auto& value : *list) {
            if (!value.is_string())
                return std::nullopt;
            pin.pins.push_back(value.get<std::string>());
        }
        settings.pins.push_back(std::move(pin));
    }
    // Optional: without it every host is checked at its first request.
    if (const auto passed = document.find("passedHosts"); passed != document.end()) {
        if (!passed->is_array())
            return std::nullopt;
        for (const auto& host : *passed) {
            if (!host.is_string())
                return std::nullopt;
            settings.passedHosts.push_back(Utf8ToUtf16(host.get<std::string>()));
        }
    }
    return settings;
}

}  // namespace kestrum
