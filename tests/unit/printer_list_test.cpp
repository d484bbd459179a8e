#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "printing/printer_list.h"

namespace kestrum {
namespace {

// "Office*,Archive": the names in display order, the default marked with "*".
std::string Describe(const std::vector<PrinterEntry>& printers) {
    std::string text;
    for (const PrinterEntry& printer : printers) {
        if (!text.empty()) {
            text += ',';
        }
        text += Utf16ToUtf8(printer.name);
        if (printer.isDefault) {
            text += '*';
        }
    }
    return text;
}

TEST(OrderPrinters, PutsTheDefaultFirstAndTheRestInCodeUnitOrder) {
    struct Case {
        const char* what;
        std::vector<std::u16string> names;
        std::u16string defaultName;
        std::string expected;
    };
    const Case cases[] = {
        {"default first, then by name",
         {u"Archive", u"Office", u"Basement"},
         u"Office",
         "Office*,Archive,Basement"},
        {"default differs in letter case", {u"Basement", u"Office"}, u"oFFICE", "Office*,Basement"},
        {"default longer by a space", {u"Office", u"Archive"}, u"Office ", "Archive,Office"},
        {"default not installed", {u"B", u"A"}, u"Gone", "A,B"},
        {"no default", {u"Lab", u"Hall"}, u"", "Hall,Lab"},
        {"upper-case initials first", {u"alpha", u"Zeta", u"beta"}, u"", "Zeta,alpha,beta"},
        {"proper prefix first",
         {u"Printer 10", u"Printer", u"Printer 1"},
         u"",
         "Printer,Printer 1,Printer 10"},
        {"only A-Z are lower-cased", {u"\u00e9cran", u"Lab"}, u"\u00c9CRAN", "Lab,\u00e9cran"},
        // Code units, not code points: a surrogate (D83D) comes before U+FF21.
        {"code units compared unsigned",
         {u"\uff21", u"\U0001F5A8 Desk", u"\u00e9"},
         u"",
         "\u00e9,\U0001F5A8 Desk,\uff21"},
        {"nothing installed", {}, u"Office", ""},
        {"nameless printer left out", {u"", u"Lab"}, u"", "Lab"},
        {"one badge: the exact match", {u"office", u"Office"}, u"Office", "Office*,office"},
        {"one badge: the first case-blind match",
         {u"office", u"Office"},
         u"OFFICE",
         "office*,Office"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Describe(OrderPrinters(SpoolerPrinters{c.names, c.defaultName})), c.expected)
            << c.what;
    }
}

TEST(IsDefaultPrinterName, NeedsTheSameLengthAndTheSameLettersApartFromCase) {
    struct Case {
        std::u16string name;
        std::u16string defaultName;
        bool expected;
    };
    const Case cases[] = {
        {u"Office", u"Office", true},
        {u"Office", u"OFFICE", true},
        {u"Office", u"Offic", false},
        {u"Office", u"Office2", false},
        {u"", u"", false},
        {u"\u00c9", u"\u00e9", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsDefaultPrinterName(c.name, c.defaultName), c.expected)
            << Utf16ToUtf8(c.name) << " / " << Utf16ToUtf8(c.defaultName);
    }
}

}  // namespace
}  // namespace kestrum
