#pragma once

#include <windows.h>

#include "browser/win32/webview2/webview2_declarations.h"

namespace kestrum {

// A new controller: dark grey before the first paint, nothing dropped in from outside (where
// the runtime offers those), and the window's whole client area.
void ConfigureController(ICoreWebView2Controller* controller, HWND window);

// After a restore or a resume: the bounds set again unchanged (the runtime may have dropped
// them while hidden), the browser shown, and its popups moved along with the window. Nothing
// while the window is minimised.
void RestoreControllerVisibility(ICoreWebView2Controller* controller, HWND window);

}  // namespace kestrum
