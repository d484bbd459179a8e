#pragma once

#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "printing/printer_list.h"

namespace kestrum {

// The player's own printer picker: a modal dark dialog over `owner` (may be null) listing
// the installed printers, the default first and marked. Returns the chosen printer's name,
// or an empty name when the learner cancels (Cancel, Escape, the close box) or there is no
// printer. Runs a nested main loop until then.
std::u16string ShowPrinterPicker(GtkWindow* owner);

// The same dialog over a given list, shown in the order given.
std::u16string ShowPrinterPicker(GtkWindow* owner, const std::vector<PrinterEntry>& printers);

// Widget names of the dialog's parts, for style rules and for tests that drive the dialog.
inline constexpr const char* kPrinterPickerTitle = "Select Printer";
inline constexpr const char* kPrinterListWidgetName = "printer-list";
inline constexpr const char* kPrintButtonWidgetName = "print-button";
inline constexpr const char* kCancelButtonWidgetName = "cancel-button";
inline constexpr const char* kNoPrinterNoticeWidgetName = "no-printer-notice";

}  // namespace kestrum
