#include "printing/print_results.h"

namespace kestrum {

std::string_view PrintResultJson(PrintOutcome outcome) {
    switch (outcome) {
        case PrintOutcome::kCancelled:
            return R"({"type":"printResult","status":"cancelled"})";
        case PrintOutcome::kNoPrintEnvironment:
            return R"({"type":"printResult","status":"error","message":"Failed to create print environment"})";
        case PrintOutcome::kNoPrintSettings:
            return R"({"type":"printResult","status":"error","message":"Failed to create print settings"})";
        case PrintOutcome::kNoPrinterNameSetting:
            return R"({"type":"printResult","status":"error","message":"Failed to set printer name"})";
        case PrintOutcome::kNoPrintApi:
            return R"({"type":"printResult","status":"error","message":"Print API not available"})";
        case PrintOutcome::kEngineFailed:
            return R"({"type":"printResult","status":"error","message":"Print failed. Please check your printer."})";
        case PrintOutcome::kPrinterUnavailable:
            return R"({"type":"printResult","status":"error","message":"The selected printer is unavailable."})";
        case PrintOutcome::kSucceeded:
            return R"({"type":"printResult","status":"success","message":"Print job sent successfully."})";
        case PrintOutcome::kUnknownError:
            break;
    }
    // Also what an out-of-range value reads as: still one well-formed error for the page.
    return R"({"type":"printResult","status":"error","message":"Print failed with unknown error."})";
}

}  // namespace kestrum
