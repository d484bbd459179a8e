#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kestrum {

// The pins of one host or domain (scope compared without regard to letter case).
struct PinEntry {
    std::u16string scope;
    std::vector<std::string> pins;  // Base64 SHA-256 of a SubjectPublicKeyInfo
};

// The built-in pins of the platform profile: one entry.
std::vector<PinEntry> DefaultPins();

// Replaces the process-wide store.
void ReplacePins(const std::vector<PinEntry>& entries);
// A copy of the process-wide store (handed to the browser's web processes).
std::vector<PinEntry> CurrentPins();

// The entry for a host: an exact scope match wins at once, otherwise the longest scope that
// the host ends with after a dot. Host and scopes compare in lower case and without a
// trailing dot, as the transport uses a host.
std::optional<PinEntry> FindPins(const std::u16string& host);

}  // namespace kestrum
