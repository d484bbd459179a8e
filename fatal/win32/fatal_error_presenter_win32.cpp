// The fatal error procedure on Windows: the code on the clipboard, the countdown window, the
// diagnostic dialog, and the end of the process with exit code 0. Any thread may fail; the
// first one shows the countdown on its own thread and ends the process, later ones only wait
// for that end.

#include <windows.h>

#include <atomic>
#include <cstdio>

#include "common/debug_log.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "fatal/countdown_layout.h"
#include "fatal/fatal_error.h"
#include "fatal/fatal_error_presenter.h"
#include "fatal/win32/clipboard_win32.h"
#include "fatal/win32/countdown_window_win32.h"
#include "fatal/win32/diagnostic_launch_win32.h"

namespace kestrum {
namespace {

// The thread that presents the process's fatal error (0: none yet), and that error.
std::atomic<DWORD> presentingThread{0};
const FatalError* presentedError = nullptr;

void ShowError(const std::u16string& caption, const std::u16string& text) {
    MessageBoxRequest request;
    request.caption = caption;
    request.text = text;
    request.icon = MessageIcon::kError;
    ShowMessageBox(request);
}

[[noreturn]] void StartDialogAndEnd(const FatalError& error) {
    if (!StartDiagnosticDialog(error)) {
        DebugLog("The diagnostic dialog could not be started.");
        ShowError(error.title, DialogFallbackText(error.englishText, error.arabicText, error.code));
    }
    std::fflush(nullptr);
    ExitProcess(0);
}

// A later failure on another thread: the presenting thread ends the process. This thread
// keeps answering its windows' messages meanwhile (a window of its own stays drawn, and a
// message sent to it does not block the sender), but never returns to its caller.
[[noreturn]] void WaitForTheEnd() {
    for (;;) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) {
            Sleep(INFINITE);
        }
        if (got != 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void Present(const FatalError& error) {
    const DWORD self = GetCurrentThreadId();
    DWORD presenter = 0;
    if (!presentingThread.compare_exchange_strong(presenter, self)) {
        DebugLog("Another fatal error while the first is shown, diagnostic code: " + error.code);
        if (presenter != self) {
            WaitForTheEnd();
        }
        // Met further down the countdown's own loop (or a box of this procedure): finish the
        // first error here, since the frames above will never run again. It was recorded
        // before this thread dispatched anything.
        FinishCountdownOnThisThread();
        StartDialogAndEnd(*presentedError);
    }
    // Kept for the life of the process.
    presentedError = new FatalError(error);

    if (!PutTextOnClipboard(WidenBytes(error.code))) {
        DebugLog("The diagnostic code could not be put on the clipboard.");
    }
    CountdownContent content;
    content.title = error.title;
    content.englishText = error.englishText;
    content.arabicText = error.arabicText;
    content.code = error.code;
    content.secondsLeft = kCountdownSeconds;
    if (RunCountdownWindow(content) == CountdownEnd::kNotShown) {
        ShowError(error.title,
                  CountdownFallbackText(error.englishText, error.arabicText, content.secondsLeft));
    }
    StartDialogAndEnd(error);
}

}  // namespace

void InstallFatalErrorPresenter() {
    SetFatalErrorPresenter(Present);
}

}  // namespace kestrum
