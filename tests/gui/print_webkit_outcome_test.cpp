#include <gtest/gtest.h>

#include "printing/linux/print_job_webkit.h"

namespace kestrum {
namespace {

// What the page is told for each way a WebKit print operation can end.
TEST(CompletionOfWebKitPrint, MapsWebKitsEndingsToThePagesOutcomes) {
    struct Case {
        const char* what;
        GQuark domain;  // 0: "finished" alone
        int code;
        PrintOutcome expected;
    };
    const Case cases[] = {
        {"finished alone", 0, 0, PrintOutcome::kSucceeded},
        {"printer not found", WEBKIT_PRINT_ERROR, WEBKIT_PRINT_ERROR_PRINTER_NOT_FOUND,
         PrintOutcome::kPrinterUnavailable},
        {"general failure", WEBKIT_PRINT_ERROR, WEBKIT_PRINT_ERROR_GENERAL,
         PrintOutcome::kEngineFailed},
        {"page range", WEBKIT_PRINT_ERROR, WEBKIT_PRINT_ERROR_INVALID_PAGE_RANGE,
         PrintOutcome::kUnknownError},
        // The print backend's own errors pass through WebKit unchanged.
        {"backend error", GTK_PRINT_ERROR, GTK_PRINT_ERROR_GENERAL, PrintOutcome::kEngineFailed},
        {"not-found code of another domain", G_IO_ERROR, WEBKIT_PRINT_ERROR_PRINTER_NOT_FOUND,
         PrintOutcome::kEngineFailed},
    };
    for (const Case& c : cases) {
        GError* error = c.domain != 0 ? g_error_new_literal(c.domain, c.code, "x") : nullptr;
        EXPECT_EQ(OutcomeOfCompletion(CompletionOfWebKitPrint(error)), c.expected) << c.what;
        if (error != nullptr) {
            g_error_free(error);
        }
    }
}

TEST(PrintViewWithPicker, ANullViewShowsNothingAndPostsNothing) {
    bool posted = false;
    PrintViewWithPicker(nullptr, nullptr, [&](const std::string&) { posted = true; });
    EXPECT_FALSE(posted);
}

}  // namespace
}  // namespace kestrum
