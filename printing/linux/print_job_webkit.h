#pragma once

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <functional>
#include <string>

#include "printing/print_flow.h"

namespace kestrum {

// A page's print request: the learner picks a printer over `owner` (null: the view's own
// window), then the view's current page is printed on it without WebKit's print dialog and
// with every other setting at its default; a PDF document is printed as the document itself.
// `postToPage` receives exactly one "printResult" JSON text per request, at once for a
// cancel and when the job has ended otherwise. While a request of the view is open (its
// picker shows or its job runs) further requests are answered "cancelled" at once. Does
// nothing when `view` is null.
void PrintViewWithPicker(WebKitWebView* view, GtkWindow* owner,
                         std::function<void(const std::string& resultJson)> postToPage);

// How a WebKit print operation ended: `failure` is the error of its "failed" signal, null
// when "finished" came alone. An unknown printer (WebKit says so when the printer is not or
// no longer installed) is an unavailable printer; other failures are failures of the call.
PrintCompletion CompletionOfWebKitPrint(const GError* failure);

}  // namespace kestrum
