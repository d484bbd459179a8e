#include "service/pin_validation.h"

namespace kestrum {

// The exception for inspecting security products rests on checking that the product's
// running executable is signed by its maker. Linux has no code-signing verification of
// running programs to stand on, so here the exception never holds.
bool IsSecurityProductRunning(const SecurityProductEntry& /*product*/) {
    return false;
}

}  // namespace kestrum
