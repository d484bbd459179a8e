#pragma once

typedef struct _GtkWidget GtkWidget;

namespace kestrum {

// The splash while the player starts: the built-in splash image, centred in the primary
// monitor's work area, above other windows, transparent where the image is, draggable, gone
// after kSplashCloseAfterMs at the latest. Main thread only, GTK initialised.
//
// Returns with the splash on screen, so that start-up steps that block the thread afterwards
// do not keep it from appearing. True when a splash is shown, also when one already was
// (then nothing else happens); false when none could be shown, and the start-up goes on.
bool ShowSplash(int maxWidth, int maxHeight);

// Removes the splash; does nothing when there is none.
void CloseSplash();

namespace splash_internal {

// ShowSplash with its own closing delay, for tests.
bool ShowSplashFor(int maxWidth, int maxHeight, unsigned closeAfterMs);

// The splash window, null when there is none.
GtkWidget* SplashWindow();

}  // namespace splash_internal
}  // namespace kestrum
