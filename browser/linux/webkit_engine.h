#pragma once

#include <webkit2/webkit2.h>

#include <functional>
#include <memory>
#include <string>

#include "browser/browser_engine.h"
#include "browser/linux/blocked_scheme.h"

namespace kestrum {

// Prints the page of a view on a printer the learner chooses and hands each outcome to the
// page as a JSON message. Installed by the player, which links the printing subsystem.
using WebKitPrintHandler = std::function<void(WebKitWebView* view, GtkWindow* owner,
                                              std::function<void(const std::string&)> post)>;
void SetWebKitPrintHandler(WebKitPrintHandler handler);

// Ends the toolkit's main loop with a code; a pump of the browser host that waits meanwhile
// sees it as the quit and hands it on.
void RequestMainLoopQuit(int exitCode);
// The quit asked before the main loop ran, taken once.
bool TakeMainLoopQuit(int& exitCode);

// The browser engine on WebKitGTK: one web context (with its own data folder and web
// processes) and one web view in the window's overlay. Every request of its pages passes
// the request handling in the player's web-process extension, made for the window `kind`.
std::unique_ptr<BrowserEngine> CreateWebKitEngine(BrowserWindow kind);
// The same with its context, view and web process started now, before the window exists
// (null when that fails); a browser created with this folder and these arguments takes them
// over. The web process learns the player's settings again when it does.
std::unique_ptr<BrowserEngine> CreateWarmWebKitEngine(BrowserWindow kind,
                                                      const std::u16string& dataFolder,
                                                      const std::u16string& browserArguments);

// Where the web-process extension is looked for: beside the program, then installed.
std::string WebExtensionDirectory();
// The extension's file in that folder.
inline constexpr char kWebExtensionFileName[] = "libkestrum-web-extension.so";

}  // namespace kestrum
