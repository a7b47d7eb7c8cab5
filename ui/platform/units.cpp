#include "units.h"

#include <algorithm>
#include <cmath>

namespace platform {

int ToPixelPosition(float twips)
{
    // Far beyond any screen, yet well inside int for every later sum of geometry.
    constexpr double Limit = 1 << 24;
    const double pixels = ToPixels(twips);
    if (std::isnan(pixels))
        return 0;
    return static_cast<int>(std::lround(std::clamp(pixels, -Limit, Limit)));
}

QColor ToQColor(Colour colour)
{
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
        static_cast<int>((colour >> 16) & 0xFF));
}

std::int16_t ButtonBits(Qt::MouseButtons buttons)
{
    std::int16_t bits = 0;
    if (buttons & Qt::LeftButton)
        bits |= 1;
    if (buttons & Qt::RightButton)
        bits |= 2;
    if (buttons & Qt::MiddleButton)
        bits |= 4;
    return bits;
}

std::int16_t ShiftBits(Qt::KeyboardModifiers modifiers)
{
    std::int16_t bits = 0;
    if (modifiers & Qt::ShiftModifier)
        bits |= 1;
    if (modifiers & Qt::ControlModifier)
        bits |= 2;
    if (modifiers & Qt::AltModifier)
        bits |= 4;
    return bits;
}

} // namespace platform
