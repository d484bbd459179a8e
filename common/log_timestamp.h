#pragma once

#include <chrono>
#include <string>

namespace kestrum {

// `when` in UTC as "YYYY-MM-DDThh:mm:ss.mmmZ", the form support compares across machines
// whatever their time zone.
std::string FormatLogTimestamp(std::chrono::system_clock::time_point when);

}  // namespace kestrum
