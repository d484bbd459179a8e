#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "printing/print_results.h"

namespace kestrum {

// The job status a browser engine reports when it is done with a print job.
enum class PrintJobStatus {
    kSucceeded,           // handed to the spooler
    kPrinterUnavailable,  // the printer is unknown, offline or gone
    kOtherError,
};

// WebView2 numbers its print statuses 0 (succeeded), 1 (printer unavailable) and up;
// every number it may add later is an error we cannot name.
PrintJobStatus PrintJobStatusFromCode(int status);

// How the engine ended one job: the call's error code (negative when the print call itself
// failed, whatever the status says) and the job status.
struct PrintCompletion {
    std::int32_t errorCode = 0;
    PrintJobStatus status = PrintJobStatus::kSucceeded;
};

PrintOutcome OutcomeOfCompletion(const PrintCompletion& completion);

// The browser engine's side of one print request.
class PrintEngine {
  public:
    using Completed = std::function<void(const PrintCompletion&)>;

    virtual ~PrintEngine() = default;

    // Starts printing the current page on `printerName` with every other setting left at
    // the engine's defaults. Returns the outcome when the job cannot even start (the
    // engine lacks a print interface, say); otherwise nothing, and `completed` runs when
    // the engine is done with the job, possibly before this returns.
    virtual std::optional<PrintOutcome> StartPrint(const std::u16string& printerName,
                                                   Completed completed) = 0;
};

// One print request of a page: the learner chooses a printer (empty: cancelled), the engine
// prints on it, and `post` receives the page's result message exactly once, however often
// the engine reports. An unset `choosePrinter` counts as a cancel; an unset `post` is
// skipped.
void RunPrintRequest(const std::function<std::u16string()>& choosePrinter, PrintEngine& engine,
                     std::function<void(const std::string& resultJson)> post);

// Keeps one window to one print request at a time. The picker runs a nested main loop, so a
// page that asks again and again would otherwise stack pickers without end: a request that
// comes while the learner is choosing, or while the chosen printer's job has not ended, is
// answered "cancelled" at once and shows nothing.
class PrintRequestGate {
  public:
    PrintRequestGate() = default;

    // RunPrintRequest when no request of this gate is open, else one "cancelled" to `post`.
    void Run(const std::function<std::u16string()>& choosePrinter, PrintEngine& engine,
             std::function<void(const std::string& resultJson)> post);

    bool IsOpen() const { return *open_; }

  private:
    // Shared with the open request's result, which may arrive after the gate is gone.
    std::shared_ptr<bool> open_ = std::make_shared<bool>(false);
};

}  // namespace kestrum
