#pragma once

#include <cups/cups.h>

#include <functional>
#include <string>

#include "printing/print_flow.h"

namespace kestrum {

// Hands a whole document to the spooler as one job on `destination` (a queue, or
// "queue/instance"), with that destination's own default options. Blocks until the
// scheduler has taken the job or refused it, within `timeoutSeconds` for each exchange with
// it. Safe on any thread: it uses a connection of its own.
PrintCompletion SubmitDocumentToCups(const std::string& destination, const std::string& title,
                                     const std::string& format, const std::string& document,
                                     double timeoutSeconds = 30.0);

// The same on a worker thread; `done` runs on the main thread once the job is handed over
// or refused. The document is moved along and freed afterwards.
void SubmitDocumentToCupsInBackground(std::string destination, std::string title,
                                      std::string format, std::string document,
                                      std::function<void(const PrintCompletion&)> done);

// How the scheduler's answer reads to the page: accepted is success; an unknown,
// refusing, deactivated or unreachable printer is unavailable; anything else is an error
// of the job.
PrintCompletion CompletionOfCupsStatus(ipp_status_t status);

}  // namespace kestrum
