#include "printing/print_flow.h"

#include <memory>
#include <utility>

namespace kestrum {
namespace {

// Posts the first outcome of a request and drops the rest: engines may report a job twice
// (a failure and then the end of the job) or report after refusing to start it.
class SingleResult {
  public:
    explicit SingleResult(std::function<void(const std::string&)> post) : post_(std::move(post)) {}

    void Post(PrintOutcome outcome) {
        if (posted_) {
            return;
        }
        posted_ = true;
        if (post_) {
            post_(std::string(PrintResultJson(outcome)));
        }
    }

  private:
    std::function<void(const std::string&)> post_;
    bool posted_ = false;
};

}  // namespace

PrintJobStatus PrintJobStatusFromCode(int status) {
    switch (status) {
        case 0:
            return PrintJobStatus::kSucceeded;
        case 1:
            return PrintJobStatus::kPrinterUnavailable;
        default:
            return PrintJobStatus::kOtherError;
    }
}

PrintOutcome OutcomeOfCompletion(const PrintCompletion& completion) {
    if (completion.errorCode < 0) {
        return PrintOutcome::kEngineFailed;
    }
    switch (completion.status) {
        case PrintJobStatus::kSucceeded:
            return PrintOutcome::kSucceeded;
        case PrintJobStatus::kPrinterUnavailable:
            return PrintOutcome::kPrinterUnavailable;
        case PrintJobStatus::kOtherError:
            break;
    }
    return PrintOutcome::kUnknownError;
}

void RunPrintRequest(const std::function<std::u16string()>& choosePrinter, PrintEngine& engine,
                     std::function<void(const std::string& resultJson)> post) {
    auto result = std::make_shared<SingleResult>(std::move(post));
    const std::u16string printer = choosePrinter ? choosePrinter() : std::u16string();
    if (printer.empty()) {
        result->Post(PrintOutcome::kCancelled);
        return;
    }
    // The completion holds the result, not the engine: the job may outlive both this call
    // and the engine object that started it.
    const std::optional<PrintOutcome> refused =
        engine.StartPrint(printer, [result](const PrintCompletion& completion) {
            result->Post(OutcomeOfCompletion(completion));
        });
    if (refused) {
        result->Post(*refused);
    }
}

void PrintRequestGate::Run(const std::function<std::u16string()>& choosePrinter,
                           PrintEngine& engine,
                           std::function<void(const std::string& resultJson)> post) {
    if (*open_) {
        if (post) {
            post(std::string(PrintResultJson(PrintOutcome::kCancelled)));
        }
        return;
    }
    *open_ = true;
    // The request is open until its one result is posted: a cancel, a refusal or the end of
    // the job.
    RunPrintRequest(choosePrinter, engine,
                    [open = open_, post = std::move(post)](const std::string& resultJson) {
                        *open = false;
                        if (post) {
                            post(resultJson);
                        }
                    });
}

}  // namespace kestrum
