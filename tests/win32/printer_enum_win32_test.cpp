#include <windows.h>
// after windows.h
#include <gtest/gtest.h>

#include "printing/printer_list.h"
#include "printing/win32/printer_enum_win32.h"

namespace kestrum {
namespace {

// The ordinal the player imports must be the spooler's default-printer query.
TEST(PrinterEnumWin32, OrdinalTwoHundredThreeIsTheDefaultPrinterQuery) {
    const DefaultPrinterQuery query = FindDefaultPrinterQuery();
    ASSERT_NE(query, nullptr);
    HMODULE spooler = GetModuleHandleW(L"winspool.drv");
    ASSERT_NE(spooler, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(query),
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

}  // namespace
}  // namespace kestrum
