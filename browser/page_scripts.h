#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/app_context.h"

namespace kestrum {

// The scripts the player adds to every document of its browsers (browser/scripts/), as the
// UTF-16 texts the engines take. Each guards itself with a flag on `window`, so a second
// injection into one document does nothing.

std::u16string LoaderScript();
std::u16string PrintRoutingScript();
// The watermark layer showing `watermarkText` literally, whatever characters it holds.
std::u16string WatermarkScript(std::u16string_view watermarkText);
std::u16string PrintButtonScript();
std::u16string NavToolbarScript();
// Runs the service's page script once per document when its DOM is ready.
std::u16string PageScriptWrapper(std::u16string_view pageScript);

// For engines without window.chrome.webview: provides it on top of the script message
// handler named kHostMessageHandlerName. Registered before every other script.
std::u16string WebviewBridgeScript();
inline constexpr std::string_view kHostMessageHandlerName = "kestrum";
// For engines that show PDF documents in a viewer of their own, inside a frame: hands the
// viewer's print to the engine's print call, which the backend routes to the player's print
// flow. Registered for the viewer's documents only.
std::u16string ViewerPrintScript();

// The script an engine backend runs to hand a JSON message of the player (for example a
// print result) to the page's "message" listeners through the bridge.
std::u16string BridgeDeliveryScript(std::u16string_view jsonText);

// The document scripts of each window in the order they are registered: in the main window
// the loader and print routing, then for "url_direct" the wrapped page script (when there is
// one) and for "pdf" and "pdf_url" the watermark and print button; in the start window print
// routing and the navigation toolbar.
std::vector<std::u16string> MainWindowDocumentScripts(const AppContext& context);
std::vector<std::u16string> StartWindowDocumentScripts();

}  // namespace kestrum
