#pragma once

#include <gtk/gtk.h>

#include "fatal/countdown_layout.h"

namespace kestrum {

// Draws the countdown into a client area `clientWidth` wide whose top left corner is the
// current origin of `cr`.
void DrawCountdown(cairo_t* cr, const CountdownContent& content, int clientWidth);

// The countdown window: undecorated, 700 x 600, centred on the primary monitor, kept above,
// draggable by any point. It draws `content` (which must outlive it) and is shown at once.
// Null when there is no display to show it on.
GtkWidget* CreateCountdownWindow(const CountdownContent* content);

}  // namespace kestrum
