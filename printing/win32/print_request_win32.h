#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "printing/print_flow.h"

namespace kestrum {

// A page's print request on Windows: the learner picks a printer in the picker over `owner`
// (the window that hosts the browser), then `engine` prints the page on it. `postToPage`
// receives exactly one "printResult" JSON text per request.
void RunPrintRequestWithPicker(HWND owner, PrintEngine& engine,
                               std::function<void(const std::string& resultJson)> postToPage);

}  // namespace kestrum
