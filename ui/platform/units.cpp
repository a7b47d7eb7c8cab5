#include "units.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace platform {

double TwipsPerPixel()
{
    static const double twipsPerPixel
        = 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInch();
    return twipsPerPixel;
}

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
    return { static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
        static_cast<int>((colour >> 16) & 0xFF) };
}

namespace {

template <class Flag> struct Bit {
    Flag flag;
    std::int16_t bit;
};

constexpr Bit<Qt::MouseButton> ButtonTable[]
    = { { Qt::LeftButton, 1 }, { Qt::RightButton, 2 }, { Qt::MiddleButton, 4 } };
constexpr Bit<Qt::KeyboardModifier> ShiftTable[]
    = { { Qt::ShiftModifier, 1 }, { Qt::ControlModifier, 2 }, { Qt::AltModifier, 4 } };

template <class Flags, class Flag, std::size_t N>
std::int16_t Bits(Flags flags, const Bit<Flag> (&table)[N])
{
    std::int16_t bits = 0;
    for (const Bit<Flag> &entry : table)
        if (flags.testFlag(entry.flag))
            bits = static_cast<std::int16_t>(bits | entry.bit);
    return bits;
}

} // namespace

std::int16_t ButtonBits(Qt::MouseButtons buttons)
{
    return Bits(buttons, ButtonTable);
}

std::int16_t ShiftBits(Qt::KeyboardModifiers modifiers)
{
    return Bits(modifiers, ShiftTable);
}

} // namespace platform
