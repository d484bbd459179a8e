#pragma once

#include <optional>
#include <string_view>

namespace kestrum {

// The number at the start of a text, read as the C library's decimal conversion (strtod)
// reads it in the "C" locale, whatever locale the process runs in: leading white space
// skipped, an optional sign, digits with "." as the decimal point and an optional exponent,
// or a hexadecimal form ("0x1.8p1"); whatever follows is ignored, so "4.11.0" gives 4.11.
// Nothing when no number begins the text or its value is not a finite double ("1e999",
// "inf", "nan").
std::optional<double> LeadingDecimalNumber(std::string_view text);

}  // namespace kestrum
