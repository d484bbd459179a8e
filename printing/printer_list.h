#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrum {

// One row of the printer picker: the name as the spooler reports it, and whether it is the
// system's default printer (shown first, with a badge).
struct PrinterEntry {
    std::u16string name;
    bool isDefault = false;

    bool operator==(const PrinterEntry&) const = default;
};

// What the platform's spooler reports: the installed printers' names in its own order and
// the default printer's name (empty when there is none).
struct SpoolerPrinters {
    std::vector<std::u16string> names;
    std::u16string defaultName;
};

// True when `name` is the default printer's `defaultName`: same length, equal after lower-casing
// A-Z. An empty default name matches nothing.
bool IsDefaultPrinterName(std::u16string_view name, std::u16string_view defaultName);

// Display order: the default printer first, the others ascending by UTF-16 code unit (a
// proper prefix first). Nameless printers are left out (choosing one would read as a
// cancel), and at most one entry is marked as the default: the exact match when there is one,
// otherwise the first that matches apart from letter case.
std::vector<PrinterEntry> OrderPrinters(const SpoolerPrinters& spooler);

// Asks the platform's spooler (Windows: the print spooler; Linux: CUPS). Never fails: a
// spooler that cannot be reached reports no printers and no default.
SpoolerPrinters QuerySpoolerPrinters();

// The picker's list: QuerySpoolerPrinters() in display order.
std::vector<PrinterEntry> InstalledPrinters();

}  // namespace kestrum
