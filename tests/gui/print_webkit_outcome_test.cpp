#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "printing/linux/cups_document_job.h"
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

// What the page is told for each answer of the scheduler to a document job.
TEST(CompletionOfCupsStatus, MapsTheSchedulersAnswersToThePagesOutcomes) {
    struct Case {
        ipp_status_t status;
        PrintOutcome expected;
    };
    const Case cases[] = {
        {IPP_STATUS_OK, PrintOutcome::kSucceeded},
        {IPP_STATUS_OK_IGNORED_OR_SUBSTITUTED, PrintOutcome::kSucceeded},
        {IPP_STATUS_OK_CONFLICTING, PrintOutcome::kSucceeded},
        {IPP_STATUS_ERROR_NOT_FOUND, PrintOutcome::kPrinterUnavailable},
        {IPP_STATUS_ERROR_GONE, PrintOutcome::kPrinterUnavailable},
        {IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS, PrintOutcome::kPrinterUnavailable},
        {IPP_STATUS_ERROR_PRINTER_IS_DEACTIVATED, PrintOutcome::kPrinterUnavailable},
        {IPP_STATUS_ERROR_SERVICE_UNAVAILABLE, PrintOutcome::kPrinterUnavailable},
        {IPP_STATUS_ERROR_DOCUMENT_FORMAT_NOT_SUPPORTED, PrintOutcome::kUnknownError},
        {IPP_STATUS_ERROR_FORBIDDEN, PrintOutcome::kUnknownError},
        {IPP_STATUS_ERROR_INTERNAL, PrintOutcome::kUnknownError},
        {IPP_STATUS_REDIRECTION_OTHER_SITE, PrintOutcome::kUnknownError},
        {IPP_STATUS_CUPS_INVALID, PrintOutcome::kUnknownError},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OutcomeOfCompletion(CompletionOfCupsStatus(c.status)), c.expected)
            << ippErrorString(c.status);
    }
}

// A scheduler that cannot be reached, or that takes the connection and never answers, ends
// the job as an unavailable printer instead of holding it.
TEST(SubmitDocumentToCups, AnUnreachableOrSilentSchedulerIsAnUnavailablePrinter) {
    char folder[] = "/tmp/kcupsXXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string socketPath = std::string(folder) + "/cups.sock";

    cupsSetServer(socketPath.c_str());  // nothing listens there yet
    EXPECT_EQ(SubmitDocumentToCups("Office", "t", "application/pdf", "%PDF-1.4", 2.0).status,
              PrintJobStatus::kPrinterUnavailable);

    // Listening, never accepting: the connection is made, no answer ever comes.
    const int silent = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(silent, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(silent, 8), 0);
    EXPECT_EQ(SubmitDocumentToCups("Office", "t", "application/pdf", "%PDF-1.4", 1.0).status,
              PrintJobStatus::kPrinterUnavailable);

    EXPECT_EQ(SubmitDocumentToCups("", "t", "application/pdf", "%PDF-1.4", 1.0).status,
              PrintJobStatus::kPrinterUnavailable)
        << "no queue named";
    close(silent);
    cupsSetServer(nullptr);
    unlink(socketPath.c_str());
    rmdir(folder);
}

TEST(PrintViewWithPicker, ANullViewShowsNothingAndPostsNothing) {
    bool posted = false;
    PrintViewWithPicker(nullptr, nullptr, [&](const std::string&) { posted = true; });
    EXPECT_FALSE(posted);
}

}  // namespace
}  // namespace kestrum
