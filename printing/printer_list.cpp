#include "printing/printer_list.h"

#include <algorithm>

#include "common/text_case.h"

namespace kestrum {

bool IsDefaultPrinterName(std::u16string_view name, std::u16string_view defaultName) {
    return !defaultName.empty() && name.size() == defaultName.size() &&
           ToLowerAscii(name) == ToLowerAscii(defaultName);
}

std::vector<PrinterEntry> OrderPrinters(const SpoolerPrinters& spooler) {
    std::vector<PrinterEntry> printers;
    printers.reserve(spooler.names.size());
    for (const std::u16string& name : spooler.names) {
        if (!name.empty()) {
            printers.push_back(PrinterEntry{name, false});
        }
    }

    // Printer names are compared without letter case by the spooler, so two entries can
    // match the default only if the spooler lists the same queue twice; one badge still.
    auto chosen = std::find_if(printers.begin(), printers.end(), [&](const PrinterEntry& entry) {
        return entry.name == spooler.defaultName && !spooler.defaultName.empty();
    });
    if (chosen == printers.end()) {
        chosen = std::find_if(printers.begin(), printers.end(), [&](const PrinterEntry& entry) {
            return IsDefaultPrinterName(entry.name, spooler.defaultName);
        });
    }
    if (chosen != printers.end()) {
        chosen->isDefault = true;
    }

    // std::u16string compares code units as unsigned values, a proper prefix first.
    std::sort(printers.begin(), printers.end(), [](const PrinterEntry& a, const PrinterEntry& b) {
        if (a.isDefault != b.isDefault) {
            return a.isDefault;
        }
        return a.name < b.name;
    });
    return printers;
}

std::vector<PrinterEntry> InstalledPrinters() {
    return OrderPrinters(QuerySpoolerPrinters());
}

}  // namespace kestrum
