#include "printing/win32/print_request_win32.h"

#include <utility>

#include "printing/win32/printer_picker_win32.h"

namespace kestrum {

void RunPrintRequestWithPicker(HWND owner, PrintEngine& engine,
                               std::function<void(const std::string& resultJson)> postToPage) {
    RunPrintRequest([owner] { return ShowPrinterPicker(owner); }, engine, std::move(postToPage));
}

}  // namespace kestrum
