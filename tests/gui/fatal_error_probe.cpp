// Drives the fatal error path under a virtual display for fatal_error_path_test.sh.
//   present main|thread|stalled|close-early   fails as the player would, never returns
//   clipboard                                 prints the clipboard's text
//   screenshot FILE                           the whole screen as PNG
//   dialog-buttons                            the dialog's Copy Code and Close buttons

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "common/linux/toolkit_start_gtk.h"
#include "common/message_box.h"
#include "common/shutdown.h"
#include "common/text_encoding.h"
#include "fatal/fatal_error.h"
#include "fatal/fatal_error_presenter.h"
#include "fatal/linux/diagnostic_program/diagnostic_window_gtk.h"

namespace kestrum {

// The shell's message box is not part of this program; the test reads what would be shown.
MessageAnswer ShowMessageBox(const MessageBoxRequest& request) {
    std::fprintf(stderr, "MESSAGE BOX [%s] %s\n", Utf16ToUtf8(request.caption).c_str(),
                 Utf16ToUtf8(request.text).c_str());
    return MessageAnswer::kOk;
}

}  // namespace kestrum

namespace {

using namespace kestrum;

FatalError SampleError() {
    FatalError error;
    error.title = u"Link Error - خطأ في الرابط";
    error.englishText =
        u"Failed to process the content link.\nIf the problem persists, send the diagnostic "
        u"code below to support.";
    error.arabicText =
        u"فشل في معالجة رابط المحتوى.\nإذا استمرت المشكلة، يرجى إرسال الكود التشخيصي أدناه "
        u"للدعم الفني.";
    const char* code = std::getenv("PROBE_CODE");
    error.code = code != nullptr ? code : "PROBE-CODE";
    return error;
}

int Present(const char* mode) {
    InstallFatalErrorPresenter();
    SetShutdownHook([] { std::fputs("SHUTDOWN HOOK RAN\n", stderr); });
    const FatalError error = SampleError();
    if (std::strcmp(mode, "main") == 0) {
        g_idle_add(
            [](gpointer data) -> gboolean {
                ShowFatalErrorDialog(*static_cast<const FatalError*>(data));
                return G_SOURCE_REMOVE;
            },
            const_cast<FatalError*>(&error));
        gtk_main();
    } else if (std::strcmp(mode, "thread") == 0 || std::strcmp(mode, "close-early") == 0) {
        // Two threads fail at once; one countdown, one dialog, one run of the hook.
        std::thread([error] { ShowFatalErrorDialog(error); }).detach();
        std::thread([error] { ShowFatalErrorDialog(error); }).detach();
        if (std::strcmp(mode, "close-early") == 0) {
            // As Alt+F4 would: the window goes away after two seconds.
            g_timeout_add(
                2000,
                [](gpointer) -> gboolean {
                    GList* windows = gtk_window_list_toplevels();
                    for (GList* w = windows; w != nullptr; w = w->next) {
                        const char* title = gtk_window_get_title(GTK_WINDOW(w->data));
                        if (title != nullptr && std::strcmp(title, "Security Alert") == 0)
                            gtk_widget_destroy(GTK_WIDGET(w->data));
                    }
                    g_list_free(windows);
                    return G_SOURCE_REMOVE;
                },
                nullptr);
        }
        gtk_main();
    } else if (std::strcmp(mode, "stalled") == 0) {
        // The interface thread is busy and runs no loop: the failing thread goes on alone.
        std::thread([error] { ShowFatalErrorDialog(error); }).detach();
        std::this_thread::sleep_for(std::chrono::seconds(60));
    }
    std::fputs("PRESENTER RETURNED\n", stderr);
    return 3;
}

int PrintClipboard() {
    gchar* text = gtk_clipboard_wait_for_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
    std::printf("%s\n", text != nullptr ? text : "");
    g_free(text);
    return text != nullptr ? 0 : 1;
}

int Screenshot(const char* file) {
    GdkWindow* root = gdk_get_default_root_window();
    GdkPixbuf* image = gdk_pixbuf_get_from_window(root, 0, 0, gdk_window_get_width(root),
                                                  gdk_window_get_height(root));
    const bool saved = image != nullptr && gdk_pixbuf_save(image, file, "png", nullptr, nullptr);
    if (image != nullptr)
        g_object_unref(image);
    return saved ? 0 : 1;
}

// In-process: the dialog's buttons, pressed through the page as a click would.
struct ButtonCheck {
    GtkWidget* window = nullptr;
    WebKitWebView* view = nullptr;
    int failures = 0;
    bool closed = false;
    std::string lastResult;
};

void RunScript(ButtonCheck& check, const char* script) {
    struct Wait {
        ButtonCheck* check;
        bool done = false;
    } wait{&check};
    check.lastResult.clear();
    webkit_web_view_evaluate_javascript(
        check.view, script, -1, nullptr, nullptr, nullptr,
        [](GObject* view, GAsyncResult* result, gpointer data) {
            auto* w = static_cast<Wait*>(data);
            GError* error = nullptr;
            JSCValue* value =
                webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error);
            if (value != nullptr) {
                gchar* text = jsc_value_to_string(value);
                w->check->lastResult = text;
                g_free(text);
                g_object_unref(value);
            } else {
                w->check->lastResult = std::string("error: ") + error->message;
                g_error_free(error);
            }
            w->done = true;
        },
        &wait);
    while (!wait.done)
        g_main_context_iteration(nullptr, TRUE);
}

void Expect(ButtonCheck& check, bool ok, const std::string& what) {
    std::fprintf(stderr, "%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
    if (!ok)
        ++check.failures;
}

std::string ClipboardText() {
    gchar* text = gtk_clipboard_wait_for_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
    std::string result = text != nullptr ? text : "";
    g_free(text);
    return result;
}

int CheckDialogButtons() {
    DiagnosticDialogTexts texts;
    texts.title = u"SSL Error <b>\"x\"</b>";
    texts.englishText = u"Hostile <script>document.title='owned'</script> text";
    texts.arabicText = u"نص";
    texts.code = "SSL_evil.example</textarea><b>";
    ButtonCheck check;
    check.window = CreateDiagnosticWindow(texts);
    check.view = WEBKIT_WEB_VIEW(gtk_bin_get_child(GTK_BIN(check.window)));
    g_signal_connect(check.window, "destroy", G_CALLBACK(+[](GtkWidget*, gpointer data) {
                         static_cast<ButtonCheck*>(data)->closed = true;
                     }),
                     &check);
    gtk_widget_show_all(check.window);
    while (webkit_web_view_is_loading(check.view))
        g_main_context_iteration(nullptr, TRUE);

    Expect(check, ClipboardText() == texts.code, "the dialog takes the clipboard with the code");
    RunScript(check, "document.title");
    Expect(check, check.lastResult == Utf16ToUtf8(texts.title),
           "the title shows as text: " + check.lastResult);
    RunScript(check, "document.getElementById('dc').value");
    Expect(check, check.lastResult == texts.code, "the code shows whole: " + check.lastResult);
    RunScript(check, "String(document.scripts.length)");
    Expect(check, check.lastResult == "1", "only the page's own script");

    gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "something else", -1);
    RunScript(check, "document.querySelectorAll('button')[0].click(); 'clicked'");
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (ClipboardText() != texts.code && std::chrono::steady_clock::now() < until)
        g_main_context_iteration(nullptr, FALSE);
    Expect(check, ClipboardText() == texts.code, "Copy Code puts the code back on the clipboard");

    RunScript(check, "document.querySelectorAll('button')[1].click(); 'clicked'");
    while (!check.closed && std::chrono::steady_clock::now() < until + std::chrono::seconds(5))
        g_main_context_iteration(nullptr, FALSE);
    Expect(check, check.closed, "Close closes the dialog");
    return check.failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !kestrum::StartToolkit(nullptr, nullptr)) {
        std::fputs(
            "usage: kestrum_fatal_probe present MODE|clipboard|screenshot FILE|"
            "dialog-buttons (needs a display)\n",
            stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "present" && argc == 3)
        return Present(argv[2]);
    if (command == "clipboard")
        return PrintClipboard();
    if (command == "screenshot" && argc == 3)
        return Screenshot(argv[2]);
    if (command == "dialog-buttons")
        return CheckDialogButtons();
    return 2;
}
