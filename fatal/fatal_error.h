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

// The procedure that ends the process on a fatal error (the countdown and the diagnostic
// dialog), installed once at start-up by the shell; tools and tests install their own.
void SetFatalErrorPresenter(std::function<void(const FatalError&)> presenter);

// Runs the shutdown hook (once per process), then hands the error to the installed presenter,
// which does not return in the player. Without a presenter the error is only logged and the
// caller carries on with its failure result.
void ShowFatalErrorDialog(const FatalError& error);

}  // namespace kestrum
