#include <windows.h>
// after windows.h
#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "printing/printer_list.h"
#include "printing/win32/printer_enum_win32.h"

namespace kestrum {

// Readable failures: the name and the badge instead of the record's bytes.
static void PrintTo(const PrinterEntry& entry, std::ostream* out) {
    *out << '"' << Utf16ToUtf8(entry.name) << '"' << (entry.isDefault ? " (default)" : "");
}

namespace {

// The ordinal the player imports must be the spooler's default-printer query.
TEST(PrinterEnumWin32, OrdinalTwoHundredThreeIsTheDefaultPrinterQuery) {
    HMODULE spooler = GetModuleHandleW(L"winspool.drv");
    ASSERT_NE(spooler, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(&KestrumSpoolerDefaultPrinter),
              reinterpret_cast<void*>(GetProcAddress(spooler, "GetDefaultPrinterW")));
}

// Wine reaches the printers through CUPS; the test machines run no CUPS daemon.
TEST(PrinterEnumWin32, WithoutASpoolerThereAreNoPrintersAndNoDefault) {
    if (GetFileAttributesW(L"Z:\\run\\cups\\cups.sock") != INVALID_FILE_ATTRIBUTES ||
        GetEnvironmentVariableW(L"CUPS_SERVER", nullptr, 0) != 0) {
        GTEST_SKIP() << "a CUPS daemon is reachable";
    }
    const SpoolerPrinters spooler = QuerySpoolerPrinters();
    EXPECT_TRUE(spooler.names.empty());
    EXPECT_TRUE(spooler.defaultName.empty());
    EXPECT_TRUE(InstalledPrinters().empty());
}

std::vector<std::u16string> SplitAtCommas(const std::string& text) {
    std::vector<std::u16string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        parts.push_back(Utf8ToUtf16(text.substr(start, comma - start)));
        start = comma + 1;
    }
    return parts;
}

// Run by with_private_cupsd.sh, which names the queues of its scheduler in the order the
// picker must show them, the default first.
TEST(PrinterEnumWin32Cups, PrintersOfTheSchedulerDefaultFirstThenByCodeUnit) {
    const char* expected = std::getenv("KESTRUM_EXPECTED_PRINTERS");
    if (expected == nullptr) {
        GTEST_SKIP() << "needs a private CUPS scheduler (with_private_cupsd.sh)";
    }
    const std::vector<std::u16string> names = SplitAtCommas(expected);
    ASSERT_FALSE(names.empty());

    EXPECT_EQ(QuerySpoolerPrinters().defaultName, names.front());
    std::vector<PrinterEntry> wanted;
    for (const std::u16string& name : names) {
        wanted.push_back(PrinterEntry{name, wanted.empty()});
    }
    EXPECT_EQ(InstalledPrinters(), wanted);
}

}  // namespace
}  // namespace kestrum
