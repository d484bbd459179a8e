#pragma once

#include <functional>

namespace kestrum {

// Work a start leaves for later: what it does not need before its first page is shown, and
// that would otherwise take processor time from that page. Main thread only.

// Keeps `job` until the start is over; once it is, runs it at once.
void DoAfterStart(std::function<void()> job);

// The start is over (its first navigation has ended, loaded or not): runs the waiting jobs,
// in the order they came.
// Later calls do nothing.
void StartIsOver();

}  // namespace kestrum
