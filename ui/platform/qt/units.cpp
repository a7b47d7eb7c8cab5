#include "units.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace platform {

// Read from the primary screen once, so that every window is laid out and driven at one scale.
double TwipsPerPixel()
{
    static const double twipsPerPixel
        = 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInch();
    return twipsPerPixel;
}

int PixelPosition(float twips)
{
    // Far beyond any screen, yet well inside int for every later sum of geometry.
    constexpr double Limit = 1 << 24;
    const double pixels = static_cast<double>(twips) / TwipsPerPixel();
    return std::isnan(pixels) ? 0
                              : static_cast<int>(std::lround(std::clamp(pixels, -Limit, Limit)));
}

} // namespace platform
