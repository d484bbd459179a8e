#pragma once

#include <windows.h>

#include "fatal/countdown_layout.h"

namespace kestrum {

// Draws the countdown for `content` into `dc`, a client area `width` x `height` pixels, with
// GDI: the two wrapped texts are measured on `dc`, the scene is laid out and drawn. Every
// font, pen and brush made here is deleted before it returns.
void PaintCountdown(HDC dc, int width, int height, const CountdownContent& content);

}  // namespace kestrum
