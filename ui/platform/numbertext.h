// Number to text as the windows show numbers.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// No leading space, "-" when negative.

// A 16-bit integer as its digits: "7", "-15".
inline std::string Str(std::int16_t value)
{
    return std::to_string(value);
}

// A 32-bit float with at most 7 significant digits and no trailing zeros: "4830", "3644.7",
// "0.0001". Below 1E-04 and from 1E+07 on (after rounding) the exponent form is used:
// "1.234568E+07", "1E-05".
// Infinities and NaN read "Inf", "-Inf" and "NaN".
std::string Str(float value);

} // namespace platform
