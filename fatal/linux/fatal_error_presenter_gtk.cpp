// The fatal error procedure on Linux: the code on the clipboard, the countdown window, then
// the diagnostic dialog program, and the end of the process with exit code 0.
//
// GTK belongs to the thread that initialised it. A failing thread hands the countdown to that
// thread's main loop and waits; when the loop does not take it within kHandoffLimit (the
// thread is blocked, hung or runs no loop), the failing thread reports on standard error
// instead and still starts the dialog.

#include <gtk/gtk.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "common/debug_log.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "fatal/countdown_layout.h"
#include "fatal/fatal_error.h"
#include "fatal/fatal_error_presenter.h"
#include "fatal/linux/countdown_window_gtk.h"
#include "fatal/linux/diagnostic_launch_linux.h"

namespace kestrum {
namespace {

// A main loop that is running takes an idle source within milliseconds; the limit only has to
// outlast a busy moment of the interface thread, not a blocking service request.
constexpr auto kHandoffLimit = std::chrono::milliseconds(3000);

std::thread::id interfaceThread;

struct Countdown {
    FatalError error;
    CountdownContent content;
    GtkWidget* window = nullptr;
    guint timer = 0;
};

// The countdown being shown; touched on the interface thread only.
Countdown* activeCountdown = nullptr;

[[noreturn]] void EndProcess() {
    std::fflush(nullptr);
    // No static destructors: other threads of the player may still be running.
    _exit(0);
}

void ShowError(const std::u16string& caption, const std::u16string& text) {
    MessageBoxRequest request;
    request.caption = caption;
    request.text = text;
    request.icon = MessageIcon::kError;
    ShowMessageBox(request);
}

// Interface thread: the dialog (or, failing that, its message) and the end.
[[noreturn]] void StartDialogAndEnd(const FatalError& error) {
    if (!StartDiagnosticProgram(error))
        ShowError(error.title, DialogFallbackText(error.englishText, error.arabicText, error.code));
    EndProcess();
}

// Pumps the interface thread's loop for good; the countdown ends the process from a callback,
// so it does not matter how deeply this is nested.
[[noreturn]] void PumpUntilTheEnd() {
    for (;;)
        g_main_context_iteration(nullptr, TRUE);
}

gboolean FinishCountdown(gpointer data) {
    StartDialogAndEnd(static_cast<Countdown*>(data)->error);
}

void OnCountdownDestroyed(GtkWidget*, gpointer data) {
    auto* countdown = static_cast<Countdown*>(data);
    if (countdown->timer != 0) {
        g_source_remove(countdown->timer);
        countdown->timer = 0;
    }
    countdown->window = nullptr;
    activeCountdown = nullptr;
    // Closed early or run out: either way the dialog comes next, once the window is gone.
    g_idle_add_full(G_PRIORITY_HIGH, FinishCountdown, countdown, nullptr);
}

gboolean OnTick(gpointer data) {
    auto* countdown = static_cast<Countdown*>(data);
    if (--countdown->content.secondsLeft > 0) {
        gtk_widget_queue_draw(countdown->window);
        return G_SOURCE_CONTINUE;
    }
    countdown->timer = 0;
    gtk_widget_destroy(countdown->window);
    return G_SOURCE_REMOVE;
}

void PutCodeOnClipboard(const std::string& code) {
    GdkDisplay* display = gdk_display_get_default();
    if (display == nullptr)
        return;
    GtkClipboard* clipboard = gtk_clipboard_get_for_display(display, GDK_SELECTION_CLIPBOARD);
    if (clipboard != nullptr)
        gtk_clipboard_set_text(clipboard, code.c_str(), static_cast<gint>(code.size()));
}

// Interface thread.
[[noreturn]] void RunCountdown(const FatalError& error) {
    if (activeCountdown != nullptr) {
        // The process already ends with the first error's countdown and dialog.
        DebugLog("Another fatal error during the countdown, diagnostic code: " + error.code);
        PumpUntilTheEnd();
    }
    PutCodeOnClipboard(error.code);

    // Lives until the process ends.
    auto* countdown = new Countdown;
    countdown->error = error;
    countdown->content.title = error.title;
    countdown->content.englishText = error.englishText;
    countdown->content.arabicText = error.arabicText;
    countdown->content.code = error.code;
    countdown->content.secondsLeft = kCountdownSeconds;

    countdown->window = CreateCountdownWindow(&countdown->content);
    if (countdown->window == nullptr) {
        ShowError(error.title, CountdownFallbackText(error.englishText, error.arabicText,
                                                     countdown->content.secondsLeft));
        StartDialogAndEnd(error);
    }
    activeCountdown = countdown;
    g_signal_connect(countdown->window, "destroy", G_CALLBACK(OnCountdownDestroyed), countdown);
    countdown->timer = g_timeout_add(kCountdownTickMilliseconds, OnTick, countdown);
    gdk_display_beep(gtk_widget_get_display(countdown->window));
    PumpUntilTheEnd();
}

// Without the interface thread: the texts on standard error, then the dialog.
[[noreturn]] void ReportWithoutInterface(const FatalError& error) {
    const std::string report =
        "Fatal error: " + Utf16ToUtf8(error.title) + "\n" + Utf16ToUtf8(error.englishText) + "\n" +
        Utf16ToUtf8(error.arabicText) + "\nDiagnostic Code: " + error.code + "\n";
    std::fwrite(report.data(), 1, report.size(), stderr);
    if (!StartDiagnosticProgram(error))
        DebugLog("The diagnostic dialog could not be shown either.");
    EndProcess();
}

struct Handoff {
    enum class State { kWaiting, kTaken, kAbandoned };
    explicit Handoff(FatalError e) : error(std::move(e)) {}
    FatalError error;
    std::mutex lock;
    std::condition_variable changed;
    State state = State::kWaiting;
};

gboolean TakeHandoff(gpointer data) {
    const std::shared_ptr<Handoff> handoff = *static_cast<std::shared_ptr<Handoff>*>(data);
    {
        const std::lock_guard<std::mutex> guard(handoff->lock);
        if (handoff->state != Handoff::State::kWaiting)
            return G_SOURCE_REMOVE;  // the failing thread already went on alone
        handoff->state = Handoff::State::kTaken;
    }
    handoff->changed.notify_all();
    RunCountdown(handoff->error);
}

void DropHandoff(gpointer data) {
    delete static_cast<std::shared_ptr<Handoff>*>(data);
}

[[noreturn]] void HandToInterfaceThread(const FatalError& error) {
    auto handoff = std::make_shared<Handoff>(error);
    // An idle source on the default context, not g_main_context_invoke: when no thread owns
    // the context, invoke would run the countdown right here, on a thread GTK does not allow.
    GSource* source = g_idle_source_new();
    g_source_set_priority(source, G_PRIORITY_HIGH);
    g_source_set_callback(source, TakeHandoff, new std::shared_ptr<Handoff>(handoff), DropHandoff);
    g_source_attach(source, g_main_context_default());
    g_source_unref(source);
    g_main_context_wakeup(g_main_context_default());

    std::unique_lock<std::mutex> guard(handoff->lock);
    if (!handoff->changed.wait_for(guard, kHandoffLimit,
                                   [&] { return handoff->state != Handoff::State::kWaiting; })) {
        handoff->state = Handoff::State::kAbandoned;
        guard.unlock();
        DebugLog("The interface thread did not take the fatal error in time.");
        ReportWithoutInterface(error);
    }
    // The interface thread ends the process.
    handoff->changed.wait(guard, [] { return false; });
    std::abort();
}

void Present(const FatalError& error) {
    if (std::this_thread::get_id() == interfaceThread)
        RunCountdown(error);
    HandToInterfaceThread(error);
}

}  // namespace

void InstallFatalErrorPresenter() {
    interfaceThread = std::this_thread::get_id();
    SetFatalErrorPresenter(Present);
}

}  // namespace kestrum
