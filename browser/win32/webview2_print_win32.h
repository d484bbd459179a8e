#pragma once

#include <optional>
#include <string>

#include "browser/win32/com_ref_win32.h"
#include "browser/win32/webview2/webview2_declarations.h"
#include "printing/print_flow.h"

namespace kestrum {

// Prints a browser's current page silently on a named printer, every other setting left at
// the runtime's defaults.
class WebView2PrintEngine final : public PrintEngine {
  public:
    WebView2PrintEngine(ComRef<ICoreWebView2Environment> environment,
                        ComRef<ICoreWebView2> webview);

    std::optional<PrintOutcome> StartPrint(const std::u16string& printerName,
                                           Completed completed) override;

  private:
    ComRef<ICoreWebView2Environment> environment_;
    ComRef<ICoreWebView2> webview_;
};

}  // namespace kestrum
