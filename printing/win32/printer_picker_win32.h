#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "printing/printer_list.h"

namespace kestrum {

// The player's own printer picker: a modal dark dialog over `owner` listing the installed
// printers, the default first and marked. Returns the chosen printer's name, or an empty name
// when the learner cancels (Cancel, Escape, the close box) or there is no printer.
std::u16string ShowPrinterPicker(HWND owner);

// The same dialog over a given list, shown in the order given.
std::u16string ShowPrinterPicker(HWND owner, std::vector<PrinterEntry> printers);

}  // namespace kestrum
