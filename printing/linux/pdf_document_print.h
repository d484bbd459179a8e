#pragma once

#include <webkit2/webkit2.h>

#include <optional>
#include <string>

#include "printing/print_flow.h"

namespace kestrum {

// Whether the view's main document is a PDF, which the engine shows in its own PDF viewer.
// Printing such a view would print the viewer, so its document is printed instead.
bool ViewShowsPdfDocument(WebKitWebView* view);

// Prints the PDF document the view shows on `printerName`: the document's own bytes, as
// the engine received them, handed to the spooler as one PDF job with the printer's
// defaults. `completed` runs on the main thread once the job is handed over or refused.
// Returns the outcome instead when there is no document to print.
std::optional<PrintOutcome> StartPdfDocumentPrint(WebKitWebView* view,
                                                  const std::u16string& printerName,
                                                  PrintEngine::Completed completed);

}  // namespace kestrum
