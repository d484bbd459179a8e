#include "printing/linux/pdf_document_print.h"

#include <memory>
#include <utility>

#include "common/text_encoding.h"
#include "printing/linux/cups_document_job.h"

namespace kestrum {
namespace {

// One document on its way from the engine to the spooler.
struct PdfPrint {
    std::string printer;
    std::string title;
    PrintEngine::Completed completed;
};

// A name for the job in the queue: the page's title, else the document's file name.
std::string JobTitle(WebKitWebView* view, WebKitWebResource* resource) {
    if (const gchar* title = webkit_web_view_get_title(view); title != nullptr && *title)
        return title;
    std::string uri =
        webkit_web_resource_get_uri(resource) ? webkit_web_resource_get_uri(resource) : "";
    uri = uri.substr(0, uri.find_first_of("?#"));
    const std::size_t slash = uri.rfind('/');
    const std::string name = slash == std::string::npos ? uri : uri.substr(slash + 1);
    return name.empty() ? "document.pdf" : name;
}

// A PDF file: its signature within the first kilobyte, where readers look for it.
bool LooksLikePdf(const std::string& data) {
    return data.substr(0, 1024).find("%PDF-") != std::string::npos;
}

void OnDocumentData(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<PdfPrint> print(static_cast<PdfPrint*>(data));
    gsize length = 0;
    guchar* bytes =
        webkit_web_resource_get_data_finish(WEBKIT_WEB_RESOURCE(source), result, &length, nullptr);
    std::string document;
    if (bytes != nullptr)
        document.assign(reinterpret_cast<const char*>(bytes), length);
    g_free(bytes);
    g_object_unref(source);
    if (!LooksLikePdf(document)) {
        // The engine no longer has the document, or it is not a PDF after all.
        if (print->completed)
            print->completed(PrintCompletion{-1, PrintJobStatus::kOtherError});
        return;
    }
    SubmitDocumentToCupsInBackground(std::move(print->printer), std::move(print->title),
                                     "application/pdf", std::move(document),
                                     std::move(print->completed));
}

}  // namespace

bool ViewShowsPdfDocument(WebKitWebView* view) {
    WebKitWebResource* resource = view ? webkit_web_view_get_main_resource(view) : nullptr;
    WebKitURIResponse* response = resource ? webkit_web_resource_get_response(resource) : nullptr;
    const gchar* type = response ? webkit_uri_response_get_mime_type(response) : nullptr;
    if (type == nullptr)
        return false;
    // The types the engine shows in its PDF viewer.
    return g_ascii_strcasecmp(type, "application/pdf") == 0 ||
           g_ascii_strcasecmp(type, "text/pdf") == 0;
}

std::optional<PrintOutcome> StartPdfDocumentPrint(WebKitWebView* view,
                                                  const std::u16string& printerName,
                                                  PrintEngine::Completed completed) {
    WebKitWebResource* resource = view ? webkit_web_view_get_main_resource(view) : nullptr;
    if (resource == nullptr)
        return PrintOutcome::kEngineFailed;
    auto* print =
        new PdfPrint{Utf16ToUtf8(printerName), JobTitle(view, resource), std::move(completed)};
    webkit_web_resource_get_data(WEBKIT_WEB_RESOURCE(g_object_ref(resource)), nullptr,
                                 OnDocumentData, print);
    return std::nullopt;
}

}  // namespace kestrum
