#pragma once

#include <windows.h>

namespace kestrum {

// The splash while the player starts: resource 102 (a PNG with alpha) on a layered,
// top-most window centred on the primary screen, its pixels handed to the system once so it
// stays intact while the main thread blocks; draggable; gone after 15 s at the latest.
// Main thread only; GDI+ must be running.

// The splash's window, or null when none could be shown. `module` null means this process's
// executable; a largest size of 0 means 700 x 450. A splash that exists already is returned
// as it is.
HWND ShowSplash(HINSTANCE module, int maxWidth, int maxHeight);

// Stops the close timer and destroys the splash; nothing when there is none.
void CloseSplash();

namespace splash_internal {

inline constexpr UINT_PTR kCloseTimerId = 9999;

// The splash window, null when there is none.
HWND SplashWindow();

// The premultiplied form of one 32-bit ARGB pixel (blue, green, red times alpha / 255).
UINT32 Premultiply(UINT32 argb);

}  // namespace splash_internal
}  // namespace kestrum
