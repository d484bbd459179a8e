#include "printing/linux/cups_document_job.h"

#include <gio/gio.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "printing/linux/cups_library.h"

namespace kestrum {
namespace {

struct HttpCloser {
    void operator()(http_t* http) const { Cups()->close(http); }
};
struct Destinations {
    ~Destinations() { Cups()->freeDests(count > 0 ? count : 0, list); }
    int count = 0;
    cups_dest_t* list = nullptr;
};

// Writes the document in pieces the scheduler takes as they come.
bool WriteDocument(const CupsLibrary& cups, http_t* http, const std::string& document) {
    constexpr std::size_t kPiece = 64 * 1024;
    for (std::size_t at = 0; at < document.size(); at += kPiece) {
        const std::size_t size = std::min(kPiece, document.size() - at);
        if (cups.writeRequestData(http, document.data() + at, size) != HTTP_STATUS_CONTINUE)
            return false;
    }
    return true;
}

struct BackgroundJob {
    std::string destination;
    std::string title;
    std::string format;
    std::string document;
    std::function<void(const PrintCompletion&)> done;
    PrintCompletion completion;
};

void SubmitInThread(GTask* task, gpointer, gpointer data, GCancellable*) {
    auto* job = static_cast<BackgroundJob*>(data);
    job->completion =
        SubmitDocumentToCups(job->destination, job->title, job->format, job->document);
    job->document.clear();
    job->document.shrink_to_fit();
    g_task_return_boolean(task, TRUE);
}

void OnSubmitted(GObject*, GAsyncResult* result, gpointer) {
    // The job is the task's data: it lives until the task is finalized, after this returns.
    auto* job = static_cast<BackgroundJob*>(g_task_get_task_data(G_TASK(result)));
    if (job->done)
        job->done(job->completion);
}

}  // namespace

PrintCompletion CompletionOfCupsStatus(ipp_status_t status) {
    // IPP's successful answers are the whole range below the redirections.
    if (status >= IPP_STATUS_OK && status < IPP_STATUS_REDIRECTION_OTHER_SITE)
        return PrintCompletion{0, PrintJobStatus::kSucceeded};
    switch (status) {
        case IPP_STATUS_ERROR_NOT_FOUND:
        case IPP_STATUS_ERROR_GONE:
        case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
        case IPP_STATUS_ERROR_PRINTER_IS_DEACTIVATED:
        case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
            return PrintCompletion{0, PrintJobStatus::kPrinterUnavailable};
        default:
            return PrintCompletion{0, PrintJobStatus::kOtherError};
    }
}

PrintCompletion SubmitDocumentToCups(const std::string& destination, const std::string& title,
                                     const std::string& format, const std::string& document,
                                     double timeoutSeconds) {
    const std::size_t slash = destination.find('/');
    const std::string queue = destination.substr(0, slash);
    const std::string instance = slash == std::string::npos ? "" : destination.substr(slash + 1);
    if (queue.empty())
        return CompletionOfCupsStatus(IPP_STATUS_ERROR_NOT_FOUND);
    const CupsLibrary* loaded = Cups();
    if (!loaded)
        return CompletionOfCupsStatus(IPP_STATUS_ERROR_SERVICE_UNAVAILABLE);
    const CupsLibrary& cups = *loaded;

    const int connectMs = static_cast<int>(timeoutSeconds * 1000);
    std::unique_ptr<http_t, HttpCloser> http(cups.connect2(
        cups.server(), cups.port(), nullptr, AF_UNSPEC, cups.encryption(), 1, connectMs, nullptr));
    if (!http)
        return CompletionOfCupsStatus(IPP_STATUS_ERROR_SERVICE_UNAVAILABLE);
    // Without a callback an exchange that stays silent this long fails instead of waiting.
    cups.setTimeout(http.get(), timeoutSeconds, nullptr, nullptr);

    // Everything goes over this one connection: the library's destination and job helpers
    // would open connections of their own, without this time limit.
    Destinations destinations;
    destinations.count = cups.getDests2(http.get(), &destinations.list);
    const cups_dest_t* named =
        cups.getDest(queue.c_str(), instance.empty() ? nullptr : instance.c_str(),
                     destinations.count, destinations.list);
    if (named == nullptr)
        return CompletionOfCupsStatus(cups.lastError() == IPP_STATUS_OK
                                          ? IPP_STATUS_ERROR_NOT_FOUND
                                          : IPP_STATUS_ERROR_SERVICE_UNAVAILABLE);

    // One Print-Job request with the document behind it, as lp sends it: the destination's
    // options (its instance's and the learner's saved choices) go along; the scheduler adds
    // the printer's own defaults.
    ipp_t* request = cups.newRequest(IPP_OP_PRINT_JOB);
    char uri[HTTP_MAX_URI];
    cups.assembleUriF(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost",
                      cups.port(), "/printers/%s", queue.c_str());
    cups.addString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    cups.addString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                   cups.user());
    cups.addString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.c_str());
    cups.addString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                   format.c_str());
    cups.encodeOptions2(request, named->num_options, named->options, IPP_TAG_OPERATION);
    cups.encodeOptions2(request, named->num_options, named->options, IPP_TAG_JOB);

    const std::string resource = "/printers/" + queue;
    const http_status_t sent = cups.sendRequest(http.get(), request, resource.c_str(),
                                                cups.length(request) + document.size());
    cups.deleteIpp(request);
    if (sent != HTTP_STATUS_CONTINUE || !WriteDocument(cups, http.get(), document))
        return CompletionOfCupsStatus(cups.lastError() == IPP_STATUS_OK
                                          ? IPP_STATUS_ERROR_SERVICE_UNAVAILABLE
                                          : cups.lastError());
    ipp_t* response = cups.getResponse(http.get(), resource.c_str());
    const ipp_status_t status =
        response != nullptr ? cups.getStatusCode(response) : IPP_STATUS_ERROR_SERVICE_UNAVAILABLE;
    cups.deleteIpp(response);
    return CompletionOfCupsStatus(status);
}

void SubmitDocumentToCupsInBackground(std::string destination, std::string title,
                                      std::string format, std::string document,
                                      std::function<void(const PrintCompletion&)> done) {
    auto* job = new BackgroundJob{std::move(destination), std::move(title), std::move(format),
                                  std::move(document),    std::move(done),  {}};
    GTask* task = g_task_new(nullptr, nullptr, OnSubmitted, nullptr);
    g_task_set_task_data(task, job,
                         [](gpointer data) { delete static_cast<BackgroundJob*>(data); });
    g_task_run_in_thread(task, SubmitInThread);
    g_object_unref(task);
}

}  // namespace kestrum
