#pragma once

#include <functional>
#include <string>

namespace kestrum {

struct FatalError {
    std::u16string title;
    std::u16string englishText;
    std::u16string arabicText;
    std::string code;  // the diagnostic code support asks for
};

using FatalErrorPresenter = std::function<void(const FatalError&)>;

// The procedure that shows a fatal error to the learner (the countdown and the diagnostic
// dialog), installed once at start-up by the shell. The process ends after it whether or not
// it ends the process itself.
void SetFatalErrorPresenter(FatalErrorPresenter presenter);

// For a process that must go on after a fatal error (a support tool that prints the code, a
// test that records it): the error goes to `reporter`, and ShowFatalErrorDialog returns to its
// caller, which carries on with its failure result. Replaces any presenter; a null reporter
// returns the process to ending on fatal errors.
void ReportFatalErrorsInstead(FatalErrorPresenter reporter);

// Runs the shutdown hook (once per process), shows the error through the presenter, if one
// is installed, and ends the process with exit code 0, from any thread. Returns only in a
// process that chose ReportFatalErrorsInstead.
void ShowFatalErrorDialog(const FatalError& error);

}  // namespace kestrum
