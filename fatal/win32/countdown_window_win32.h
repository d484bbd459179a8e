#pragma once

#include "fatal/countdown_layout.h"

namespace kestrum {

enum class CountdownEnd {
    kFinished,  // ran out, or the window was closed early
    kNotShown,  // the window could not be created
};

// Shows the fatal countdown for `content` on the calling thread: a top-most window that
// counts `content.secondsLeft` down once a second, and a message loop that runs until the
// count reaches zero or the window is closed. `content` is updated as it counts.
CountdownEnd RunCountdownWindow(CountdownContent& content);

// For a thread that is already inside RunCountdownWindow and meets another fatal error
// further down its own loop: runs the countdown's loop here instead, then destroys the window
// as RunCountdownWindow would. Returns at once when the thread shows no countdown.
void FinishCountdownOnThisThread();

}  // namespace kestrum
