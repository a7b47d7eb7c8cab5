#include "numbertext.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace platform {

std::string Str(std::int16_t value)
{
    return std::to_string(value);
}

std::string Str(float value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Inf" : "Inf";
    if (value == 0.0f)
        return "0"; // negative zero too

    // Round once, exactly and independent of the locale: "d.dddddde+XX".
    char scientific[32];
    const auto result = std::to_chars(scientific, scientific + sizeof scientific,
        static_cast<double>(value), std::chars_format::scientific, 6);
    const std::string_view text(scientific, static_cast<std::size_t>(result.ptr - scientific));
    const bool negative = text.front() == '-';
    const std::size_t first = negative ? 1 : 0;
    const std::size_t e = text.find('e');
    // The exponent is read within the text: to_chars writes no terminating zero, and whatever an
    // earlier call left behind it in the buffer must not become more of its digits.
    int exponent = 0;
    std::from_chars(text.data() + e + 2, text.data() + text.size(), exponent);
    if (text[e + 1] == '-')
        exponent = -exponent;

    // The seven significant digits without their point, trailing zeros dropped.
    std::string digits;
    digits += text[first];
    digits.append(text.substr(first + 2, e - first - 2));
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= 7 || exponent < -4) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out.append(digits, 1);
        }
        out += exponent < 0 ? "E-" : "E+";
        const int magnitude = std::abs(exponent);
        if (magnitude < 10)
            out += '0';
        out += std::to_string(magnitude);
    } else if (exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent) - 1, '0');
        out += digits;
    } else {
        const std::size_t whole = static_cast<std::size_t>(exponent) + 1; // digits before the point
        if (digits.size() <= whole) {
            out += digits;
            out.append(whole - digits.size(), '0');
        } else {
            out.append(digits, 0, whole);
            out += '.';
            out.append(digits, whole);
        }
    }
    return out;
}

} // namespace platform
