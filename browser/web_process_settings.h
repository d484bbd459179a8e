#pragma once

#include <optional>
#include <string>
#include <vector>

#include "browser/header_decisions.h"
#include "service/pin_store.h"

namespace kestrum {

// What an engine whose pages run in separate web processes hands each of them, so that the
// request handling there decides on its own (it cannot wait for the player's answer): the
// window's request rules, the device values, the platform site for the Referer rule and the
// pins in force, with the hosts that have passed them; and the content of the link, by which
// the main window's top-level navigations are judged before they reach the network.
struct WebProcessSettings {
    BrowserWindow window = BrowserWindow::kMain;
    DeviceValues device;
    std::u16string linkServer;
    std::vector<PinEntry> pins;
    std::u16string contentUrl;
    std::u16string contentKind;
    // Hosts the player has already found passing their pins: no check before their first
    // request.
    std::vector<std::u16string> passedHosts;
};

std::string WebProcessSettingsJson(const WebProcessSettings& settings);
// Nothing when the text is not such a document.
std::optional<WebProcessSettings> ParseWebProcessSettings(const std::string& json);

}  // namespace kestrum
