#include "printing/linux/print_job_webkit.h"

#include <memory>
#include <optional>
#include <utility>

#include "common/text_encoding.h"
#include "printing/linux/pdf_document_print.h"
#include "printing/linux/printer_picker_gtk.h"

namespace kestrum {
namespace {

// One running print operation. WebKit signals "failed" before "finished" for the same job,
// so the failure is kept and the job is reported once, when it has finished.
struct WebKitPrintJob {
    WebKitPrintOperation* operation = nullptr;
    PrintEngine::Completed completed;
    GError* failure = nullptr;
};

void OnPrintFailed(WebKitPrintOperation*, GError* error, gpointer data) {
    auto* job = static_cast<WebKitPrintJob*>(data);
    if (job->failure == nullptr && error != nullptr) {
        job->failure = g_error_copy(error);
    }
}

void OnPrintFinished(WebKitPrintOperation*, gpointer data) {
    std::unique_ptr<WebKitPrintJob> job(static_cast<WebKitPrintJob*>(data));
    g_signal_handlers_disconnect_by_data(job->operation, job.get());
    const PrintCompletion completion = CompletionOfWebKitPrint(job->failure);
    if (job->failure != nullptr) {
        g_error_free(job->failure);
    }
    g_object_unref(job->operation);
    if (job->completed) {
        job->completed(completion);
    }
}

class WebKitPrintEngine : public PrintEngine {
  public:
    explicit WebKitPrintEngine(WebKitWebView* view) : view_(view) {
        g_object_ref(view_);
        destroyHandler_ = g_signal_connect(view_, "destroy", G_CALLBACK(OnViewDestroyed), &gone_);
    }
    ~WebKitPrintEngine() override {
        g_signal_handler_disconnect(view_, destroyHandler_);
        g_object_unref(view_);
    }
    WebKitPrintEngine(const WebKitPrintEngine&) = delete;
    WebKitPrintEngine& operator=(const WebKitPrintEngine&) = delete;

    std::optional<PrintOutcome> StartPrint(const std::u16string& printerName,
                                           Completed completed) override {
        if (gone_) {
            // Closed while the learner was choosing: there is no page left to print.
            return PrintOutcome::kEngineFailed;
        }
        // The engine would print its PDF viewer, not the document it shows.
        if (ViewShowsPdfDocument(view_)) {
            return StartPdfDocumentPrint(view_, printerName, std::move(completed));
        }
        WebKitPrintOperation* operation = webkit_print_operation_new(view_);
        if (operation == nullptr) {
            return PrintOutcome::kNoPrintApi;
        }
        GtkPrintSettings* settings = gtk_print_settings_new();
        gtk_print_settings_set_printer(settings, Utf16ToUtf8(printerName).c_str());
        webkit_print_operation_set_print_settings(operation, settings);
        g_object_unref(settings);

        auto* job = new WebKitPrintJob{operation, std::move(completed), nullptr};
        g_signal_connect(operation, "failed", G_CALLBACK(OnPrintFailed), job);
        g_signal_connect(operation, "finished", G_CALLBACK(OnPrintFinished), job);
        // May finish before it returns (an unknown printer does); the job frees itself then.
        webkit_print_operation_print(operation);
        return std::nullopt;
    }

  private:
    static void OnViewDestroyed(GtkWidget*, gpointer gone) { *static_cast<bool*>(gone) = true; }

    WebKitWebView* view_;
    gulong destroyHandler_ = 0;
    bool gone_ = false;
};

// The view's own gate: one print request of a window at a time.
PrintRequestGate& GateOf(WebKitWebView* view) {
    static const char* const kKey = "kestrum-print-gate";
    auto* gate = static_cast<PrintRequestGate*>(g_object_get_data(G_OBJECT(view), kKey));
    if (gate == nullptr) {
        gate = new PrintRequestGate;
        g_object_set_data_full(G_OBJECT(view), kKey, gate,
                               [](gpointer data) { delete static_cast<PrintRequestGate*>(data); });
    }
    return *gate;
}

GtkWindow* WindowOf(WebKitWebView* view) {
    GtkWidget* toplevel = gtk_widget_get_toplevel(GTK_WIDGET(view));
    return gtk_widget_is_toplevel(toplevel) && GTK_IS_WINDOW(toplevel) ? GTK_WINDOW(toplevel)
                                                                       : nullptr;
}

}  // namespace

PrintCompletion CompletionOfWebKitPrint(const GError* failure) {
    if (failure == nullptr) {
        return PrintCompletion{0, PrintJobStatus::kSucceeded};
    }
    if (failure->domain == WEBKIT_PRINT_ERROR) {
        switch (failure->code) {
            case WEBKIT_PRINT_ERROR_PRINTER_NOT_FOUND:
                return PrintCompletion{0, PrintJobStatus::kPrinterUnavailable};
            case WEBKIT_PRINT_ERROR_INVALID_PAGE_RANGE:
                return PrintCompletion{0, PrintJobStatus::kOtherError};
            default:
                break;
        }
    }
    return PrintCompletion{-1, PrintJobStatus::kOtherError};
}

void PrintViewWithPicker(WebKitWebView* view, GtkWindow* owner,
                         std::function<void(const std::string& resultJson)> postToPage) {
    if (view == nullptr) {
        return;
    }
    if (owner == nullptr) {
        owner = WindowOf(view);
    }
    // The engine holds the view, and with it the gate, until the request has been handed on.
    WebKitPrintEngine engine(view);
    GateOf(view).Run([owner] { return ShowPrinterPicker(owner); }, engine, std::move(postToPage));
}

}  // namespace kestrum
