#pragma once

#include <gtk/gtk.h>

namespace kestrum {

// The player's two top-level windows on Linux. The browser hosts are put into them by the
// browser subsystem; until the content is there they show the waiting text.

// Link mode: "Kestrum V 4.11.0", 1280 x 720, black. Null when it cannot be created.
GtkWidget* CreateMainWindow();
// Plain mode: the start window of the platform's site.
GtkWidget* CreateStartWindow();

// The window whose end ends the message loop (the main or the start window), or null.
GtkWidget* ShellWindow();

// Hands CloseBrowserHosts to the main loop from any thread and waits at most `limitMs` for
// it; on the main thread it closes them at once. Nothing to do without a live window.
void CloseBrowserHostsFromAnyThread(unsigned limitMs);
void RecordMainThread();

}  // namespace kestrum
