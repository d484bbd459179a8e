#pragma once

#include <gtk/gtk.h>

#include <string>

namespace kestrum {

struct DiagnosticDialogTexts {
    std::u16string title;
    std::u16string englishText;
    std::u16string arabicText;
    std::string code;
};

// The diagnostic dialog: the diagnostic page in a 700 x 580 window, centred, of fixed size and
// without maximize or minimize. It takes the clipboard with the code at once (on X11 the text
// lives only as long as its owner), its "Copy Code" button puts the code there again and its
// "Close" button destroys the window. Shown by the caller.
GtkWidget* CreateDiagnosticWindow(const DiagnosticDialogTexts& texts);

}  // namespace kestrum
