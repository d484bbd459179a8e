#pragma once

namespace kestrum {

// The tool keeps the player's trace lines to itself unless asked (--trace), so that its
// standard output and error carry only its answer.
void EnableToolTrace();

}  // namespace kestrum
