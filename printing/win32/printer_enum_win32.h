#pragma once

#include <windows.h>

namespace kestrum {

// The spooler's default-printer query (GetDefaultPrinterW), which the player takes from
// winspool.drv by its ordinal 203 rather than by name. Null when it cannot be found.
using DefaultPrinterQuery = BOOL(WINAPI*)(LPWSTR buffer, LPDWORD characters);
DefaultPrinterQuery FindDefaultPrinterQuery();

}  // namespace kestrum
