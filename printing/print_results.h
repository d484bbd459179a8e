#pragma once

#include <string_view>

namespace kestrum {

// Every way one print request can end; each is answered to the page with one message.
enum class PrintOutcome {
    kCancelled,             // no printer chosen
    kNoPrintEnvironment,    // the engine cannot make print settings at all
    kNoPrintSettings,       // making the print settings failed
    kNoPrinterNameSetting,  // the settings cannot carry a printer name
    kNoPrintApi,            // the browser cannot print without its own dialog
    kEngineFailed,          // the print call itself reported a failure
    kPrinterUnavailable,    // the chosen printer is unknown or went away
    kSucceeded,             // the job was handed to the spooler
    kUnknownError,          // any other job status
};

// The page's "printResult" message for `outcome`: a JSON text with the type, the status
// ("success", "error" or "cancelled") and, except for a cancel, the learner's message.
// Pages compare these texts, so they are fixed byte for byte.
std::string_view PrintResultJson(PrintOutcome outcome);

}  // namespace kestrum
