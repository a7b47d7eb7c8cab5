// The texts the windows must show for some floats, written out by hand: one table that both the
// desktop's formatting (tst_numbertext) and the browser's (tst_numbertext_web) are held to. Plain
// C++, so that emscripten builds it without Qt.
#pragma once

#include <limits>

namespace numbertexts {

struct Row {
    const char *name;
    float value;
    const char *text;
};

inline constexpr Row Rows[] = {
    { "whole", 4830.0f, "4830" },
    { "negative", -15.0f, "-15" },
    { "fraction", 3644.7f, "3644.7" },
    { "sample", 3644.69970703125f, "3644.7" },
    { "half", 2195.15625f, "2195.156" },
    { "negative half", -2195.15625f, "-2195.156" },
    // A finger's positions carry fractions of a twip, to seven significant digits.
    { "finger", 3644.733f, "3644.733" },
    { "finger negative", -3644.733f, "-3644.733" },
    { "finger small", 1234.567f, "1234.567" },
    { "finger large", 123456.7f, "123456.7" },
    { "below one", 0.5f, "0.5" },
    { "negative fraction", -0.125f, "-0.125" },
    { "just below one", 0.99999995f, "0.9999999" },
    { "ten thousands", 10245.0f, "10245" },
    { "seven digits", 1234567.0f, "1234567" },
    // Halves at the seventh digit go to the even digit, in either direction.
    { "half rounds up to even", 1234567.5f, "1234568" },
    { "half rounds down to even", 1234568.5f, "1234568" },
    { "negative half to even", -1234567.5f, "-1234568" },
    { "rounds up", 9999999.5f, "1E+07" },
    { "large", 12345678.0f, "1.234568E+07" },
    { "large negative", -12345678.0f, "-1.234568E+07" },
    { "ten million", 1e7f, "1E+07" },
    { "largest float", std::numeric_limits<float>::max(), "3.402823E+38" },
    { "ten thousandth", 0.0001f, "0.0001" },
    { "rounds up to a ten thousandth", 9.9999999e-5f, "0.0001" },
    { "seven digits small", 0.0001234567f, "0.0001234567" },
    { "seven digits small negative", -0.0001234567f, "-0.0001234567" },
    { "hundred thousandth", 0.00001f, "1E-05" },
    { "small negative", -5.5e-5f, "-5.5E-05" },
    { "tiny", 1.5e-20f, "1.5E-20" },
    { "subnormal", std::numeric_limits<float>::denorm_min(), "1.401298E-45" },
};

} // namespace numbertexts
