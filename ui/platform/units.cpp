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

} // namespace platform
