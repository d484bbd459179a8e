#include "printing/win32/printer_enum_win32.h"

#include <windows.h>
// after windows.h
#include <winspool.h>

#include <string>
#include <vector>

#include "printing/printer_list.h"

namespace kestrum {
namespace {

constexpr DWORD kDefaultNameCapacity = 256;

std::u16string WideText(const wchar_t* text) {
    return text == nullptr ? std::u16string()
                           : std::u16string(reinterpret_cast<const char16_t*>(text));
}

std::u16string DefaultPrinterName() {
    wchar_t buffer[kDefaultNameCapacity] = {};
    DWORD characters = kDefaultNameCapacity;
    if (!KestrumSpoolerDefaultPrinter(buffer, &characters)) {
        return {};
    }
    buffer[kDefaultNameCapacity - 1] = L'\0';
    return WideText(buffer);
}

std::vector<std::u16string> EnumeratedPrinterNames() {
    constexpr DWORD kFlags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD needed = 0;
    DWORD returned = 0;
    EnumPrintersW(kFlags, nullptr, 2, nullptr, 0, &needed, &returned);
    if (needed == 0) {
        return {};
    }
    // PRINTER_INFO_2W holds pointers: keep the buffer aligned for them.
    std::vector<PRINTER_INFO_2W> records(needed / sizeof(PRINTER_INFO_2W) + 1);
    const DWORD capacity = static_cast<DWORD>(records.size() * sizeof(PRINTER_INFO_2W));
    if (!EnumPrintersW(kFlags, nullptr, 2, reinterpret_cast<BYTE*>(records.data()), capacity,
                       &needed, &returned)) {
        return {};
    }
    std::vector<std::u16string> names;
    names.reserve(returned);
    for (DWORD i = 0; i < returned && i < records.size(); ++i) {
        names.push_back(WideText(records[i].pPrinterName));
    }
    return names;
}

}  // namespace

SpoolerPrinters QuerySpoolerPrinters() {
    SpoolerPrinters spooler;
    spooler.defaultName = DefaultPrinterName();
    spooler.names = EnumeratedPrinterNames();
    return spooler;
}

}  // namespace kestrum
