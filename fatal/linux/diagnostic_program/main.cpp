// kestrum-diagnostic: the dialog the player leaves behind when it ends on a fatal error.
//   kestrum-diagnostic --title T --english E --arabic A --code C
// Values are UTF-8 and may begin with "-"; --code is required.

#include <gtk/gtk.h>

#include <cstdio>
#include <cstring>
#include <optional>

#include "common/linux/toolkit_start_gtk.h"
#include "common/text_encoding.h"
#include "fatal/linux/diagnostic_program/diagnostic_window_gtk.h"

namespace {

std::optional<kestrum::DiagnosticDialogTexts> ParseArguments(int argc, char** argv) {
    kestrum::DiagnosticDialogTexts texts;
    bool haveCode = false;
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc)
            return std::nullopt;
        const char* option = argv[i];
        const char* value = argv[i + 1];
        if (std::strcmp(option, "--title") == 0) {
            texts.title = kestrum::Utf8ToUtf16(value);
        } else if (std::strcmp(option, "--english") == 0) {
            texts.englishText = kestrum::Utf8ToUtf16(value);
        } else if (std::strcmp(option, "--arabic") == 0) {
            texts.arabicText = kestrum::Utf8ToUtf16(value);
        } else if (std::strcmp(option, "--code") == 0) {
            texts.code = value;
            haveCode = true;
        } else {
            return std::nullopt;
        }
    }
    if (!haveCode)
        return std::nullopt;
    return texts;
}

}  // namespace

int main(int argc, char** argv) {
    // Parsed before GTK sees them: GTK would take its own options out of the texts.
    const std::optional<kestrum::DiagnosticDialogTexts> texts = ParseArguments(argc, argv);
    if (!texts) {
        std::fputs("usage: kestrum-diagnostic --title T --english E --arabic A --code C\n", stderr);
        return 2;
    }
    if (!kestrum::StartToolkit(nullptr, nullptr)) {
        std::fputs("kestrum-diagnostic: no display\n", stderr);
        return 1;
    }
    GtkWidget* window = kestrum::CreateDiagnosticWindow(*texts);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    gtk_widget_show_all(window);
    gtk_window_present(GTK_WINDOW(window));
    gtk_main();
    return 0;
}
