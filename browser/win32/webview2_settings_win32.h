#pragma once

#include "browser/win32/webview2/webview2_declarations.h"

namespace kestrum {

// Developer tools, context menus, status bar, zoom and the browser's accelerator keys off;
// no item of the PDF toolbar hidden.
void ApplyBrowserSettings(ICoreWebView2* webview);

}  // namespace kestrum
