#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <type_traits>
#include <utility>

namespace kestrum {

// Numbers of a JSON answer, converted without undefined behaviour: a value that does not fit
// the member's type is treated like a value of the wrong JSON type, so a service that answers
// 1e40 or 1e300 gets no wrapped-around or saturated number out of it.

// A JSON number as a double; nothing when the value is not a number or not finite.
inline std::optional<double> JsonFiniteNumber(const nlohmann::json& value) {
    if (!value.is_number())
        return std::nullopt;
    const double number = value.get<double>();
    if (!std::isfinite(number))
        return std::nullopt;
    return number;
}

// The integer part of a JSON number (a fraction is cut toward zero) when it lies within the
// range of the signed type `Integer`; nothing for a number out of that range, for a value that
// is not a number, and for a boolean.
template <typename Integer>
std::optional<Integer> JsonIntegerPart(const nlohmann::json& value) {
    static_assert(std::is_integral_v<Integer> && std::is_signed_v<Integer>);
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (!std::in_range<Integer>(number))
            return std::nullopt;
        return static_cast<Integer>(number);
    }
    if (value.is_number_integer()) {
        const auto number = value.get<std::int64_t>();
        if (!std::in_range<Integer>(number))
            return std::nullopt;
        return static_cast<Integer>(number);
    }
    if (value.is_number_float()) {
        const double whole = std::trunc(value.get<double>());  // NaN and infinities stay
        // Both bounds are powers of two, exact in a double: [-2^(n-1), 2^(n-1)).
        constexpr double lowest = static_cast<double>(std::numeric_limits<Integer>::min());
        if (!(whole >= lowest && whole < -lowest))
            return std::nullopt;
        return static_cast<Integer>(whole);
    }
    return std::nullopt;
}

}  // namespace kestrum
