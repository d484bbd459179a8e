#include "browser/win32/webview2_print_win32.h"

#include <memory>
#include <utility>

#include "browser/win32/com_handler_win32.h"

namespace kestrum {

WebView2PrintEngine::WebView2PrintEngine(ComRef<ICoreWebView2Environment> environment,
                                         ComRef<ICoreWebView2> webview)
    : environment_(std::move(environment)), webview_(std::move(webview)) {}

std::optional<PrintOutcome> WebView2PrintEngine::StartPrint(const std::u16string& printerName,
                                                            Completed completed) {
    const auto factory = environment_.As<ICoreWebView2Environment6>();
    if (!factory)
        return PrintOutcome::kNoPrintEnvironment;
    ComRef<ICoreWebView2PrintSettings> settings;
    if (FAILED(factory->CreatePrintSettings(settings.Out())) || !settings)
        return PrintOutcome::kNoPrintSettings;
    const auto named = settings.As<ICoreWebView2PrintSettings2>();
    if (!named)
        return PrintOutcome::kNoPrinterNameSetting;
    named->put_PrinterName(WideText(printerName));
    const auto printer = webview_.As<ICoreWebView2_16>();
    if (!printer)
        return PrintOutcome::kNoPrintApi;

    // The handler keeps the browser alive until the job has ended.
    auto reported = std::make_shared<bool>(false);
    const auto handler = MakeHandler<ICoreWebView2PrintCompletedHandler>(
        [browser = webview_, completed, reported](HRESULT errorCode,
                                                  COREWEBVIEW2_PRINT_STATUS status) {
            *reported = true;
            if (completed)
                completed(PrintCompletion{static_cast<std::int32_t>(errorCode),
                                          PrintJobStatusFromCode(static_cast<int>(status))});
            return S_OK;
        });
    const HRESULT started = printer->Print(settings.get(), handler.get());
    // A call the runtime refused never reaches the handler: the page still gets its answer.
    if (FAILED(started) && !*reported)
        return PrintOutcome::kEngineFailed;
    return std::nullopt;
}

}  // namespace kestrum
