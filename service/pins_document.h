#pragma once

#include <optional>
#include <string>
#include <vector>

#include "service/pin_store.h"

namespace kestrum {

// The service's pins document: a JSON array of {"scope", "pins"}; pins may carry a
// "sha256/" prefix. Nothing when the document is unusable (not JSON, not an array, a scope
// that is not a text); otherwise the defaults followed by every entry with at least one pin.
std::optional<std::vector<PinEntry>> ParsePinsDocument(const std::string& body);

}  // namespace kestrum
