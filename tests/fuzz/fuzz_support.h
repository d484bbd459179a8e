#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Shared pieces of the fuzz targets: the link key, raw input as UTF-16, and a check that
// ends the run with a message libFuzzer keeps next to the input that broke it.
namespace kestrum::fuzz {

// The profile's link key, restored once per process.
const std::string& LinkKey();

// The input as UTF-16 code units (two bytes each, little-endian; an odd last byte is
// dropped), so that lone surrogates and any other unit reach the code under test.
std::u16string Utf16Units(std::string_view bytes);

// An envelope as the platform writes it around the given "iv" and "value" texts, with a
// valid tag over them; `upperCaseTag` writes the tag in capitals.
std::string EnvelopeWithValidTag(std::string_view ivText, std::string_view valueText,
                                 bool upperCaseTag);

// `plainText` sealed under the link key with the given 16-byte IV, so that a finding
// replays exactly (the player's own sealing draws a random IV).
std::string SealEnvelope(std::string_view plainText, std::string_view iv);

[[noreturn]] void Fail(const char* what, const char* file, int line);

}  // namespace kestrum::fuzz

#define FUZZ_CHECK(condition)                                      \
    do {                                                           \
        if (!(condition))                                          \
            ::kestrum::fuzz::Fail(#condition, __FILE__, __LINE__); \
    } while (false)
