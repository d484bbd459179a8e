#pragma once

#include <windows.h>

namespace kestrum {

// Link mode's main window: class "KestrumWindow" over the content window procedure,
// "Kestrum V 4.11.0", 1280 x 720, shown and painted once. Null when it cannot be created.
HWND CreateMainWindow(HINSTANCE instance);

}  // namespace kestrum
