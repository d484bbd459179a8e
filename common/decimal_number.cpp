#include "common/decimal_number.h"

#include <charconv>
#include <cmath>

namespace kestrum {
namespace {

// White space as the "C" locale classifies it.
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

std::optional<double> LeadingDecimalNumber(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsSpace(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    const std::string_view rest = text.substr(at);
    // from_chars reads its own minus sign: a second sign ("+-5") is no number, as for strtod.
    if (rest.empty() || rest.front() == '+' || rest.front() == '-')
        return std::nullopt;

    // from_chars never consults the locale; it only lacks strtod's "0x" prefix.
    double value = 0;
    std::from_chars_result read{rest.data(), std::errc::invalid_argument};
    if (rest.size() > 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X') &&
        (IsHexDigit(rest[2]) || rest[2] == '.')) {
        read = std::from_chars(rest.data() + 2, rest.data() + rest.size(), value,
                               std::chars_format::hex);
    }
    if (read.ec == std::errc::invalid_argument)
        read = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (read.ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

}  // namespace kestrum
