#pragma once

#include <windows.h>

// The spooler's default-printer query (GetDefaultPrinterW), which the player imports from
// WINSPOOL.DRV by its ordinal 203 rather than by name (winspool_ordinal.def). Fills `buffer`
// with the default printer's name and `characters` with its length and terminator; FALSE when
// there is no default or the buffer is too small.
extern "C" __declspec(dllimport) BOOL WINAPI
    KestrumSpoolerDefaultPrinter(LPWSTR buffer, LPDWORD characters);
