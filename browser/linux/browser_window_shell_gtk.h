#pragma once

#include <gtk/gtk.h>

#include <functional>

#include "browser/browser_windows.h"

namespace kestrum {

// The browser windows' needs on GTK: engines on WebKitGTK, the data folder under the user's
// data directory ($XDG_DATA_HOME/Kestrum), raising, full screen and the failure message.
BrowserWindowShell& GtkBrowserWindowShell();

// Starts the browser of a window of this kind now, before its window exists, so that its
// processes come up while the application does other work; the window's browser takes it
// over. Discarding ends those processes (waiting a little for them) when no window will.
void WarmBrowser(BrowserWindow kind);
void DiscardWarmBrowser();

// What closes the application's splash once a browser window takes its place; the
// application hands it over before the first window is created (unset: nothing to close).
void SetSplashCloser(std::function<void()> closeSplash);

// Keeps a window's browser in step with the window: hidden while the window is minimised,
// shown again when it is restored or the application is activated.
void FollowWindowState(GtkWidget* window, BrowserWindow kind);

}  // namespace kestrum
