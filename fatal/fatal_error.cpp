#include "fatal/fatal_error.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "common/debug_log.h"
#include "common/shutdown.h"

namespace kestrum {
namespace {

struct Procedure {
    FatalErrorPresenter show;
    bool returnsToCaller = false;
};

std::mutex procedureLock;
Procedure& Installed() {
    static Procedure procedure;
    return procedure;
}

void Install(Procedure procedure) {
    const std::lock_guard<std::mutex> guard(procedureLock);
    Installed() = std::move(procedure);
}

// Without running static destructors: other threads may still be using what they would
// destroy. What was written so far is flushed first.
[[noreturn]] void EndProcess() {
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace

void SetFatalErrorPresenter(FatalErrorPresenter presenter) {
    Install({std::move(presenter), false});
}

void ReportFatalErrorsInstead(FatalErrorPresenter reporter) {
    const bool reports = static_cast<bool>(reporter);
    Install({std::move(reporter), reports});
}

void ShowFatalErrorDialog(const FatalError& error) {
    RunShutdownHookOnce();
    Procedure procedure;
    {
        const std::lock_guard<std::mutex> guard(procedureLock);
        procedure = Installed();
    }
    DebugLog("Fatal error, diagnostic code: " + error.code);
    if (procedure.show)
        procedure.show(error);
    if (procedure.returnsToCaller)
        return;
    EndProcess();
}

}  // namespace kestrum
