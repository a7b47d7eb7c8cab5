#include "numbertext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace platform {

std::string Str(float value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Inf" : "Inf";
    if (value == 0.0f)
        return "0"; // negative zero too
    // The shortest of the fixed and exponent forms at seven significant digits, rounded once,
    // exactly and whatever the locale: "3644.7", "0.0001", "1.234568e+07".
    char text[32];
#ifdef __EMSCRIPTEN__
    // The browser's C++ library has no floating-point to_chars; its C library has only the "C"
    // locale, so printf's %g gives the same text there.
    std::string out(text, std::snprintf(text, sizeof text, "%.7g", static_cast<double>(value)));
#else
    const auto result = std::to_chars(
        text, text + sizeof text, static_cast<double>(value), std::chars_format::general, 7);
    std::string out(text, result.ptr);
#endif
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return c == 'e' ? 'E' : c; });
    return out;
}

} // namespace platform
