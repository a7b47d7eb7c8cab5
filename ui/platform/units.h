#pragma once

#include "design.h"

#include <QColor>
#include <QGuiApplication>
#include <QPointF>
#include <QScreen>
#include <QString>

#include <algorithm>
#include <cmath>
#include <string_view>

// Conversions between the forms' units and Qt's, for the layer alone.
namespace platform {

// Twips are 1/1440 inch and a logical pixel is 1/(logical dpi) inch: 15 twips at 96 dpi, 10 at
// 144 dpi (where the toolkit's own scaling is off and the desktop asks for larger type). Read from
// the primary screen once, so that every window is laid out and driven at one scale.
inline double TwipsPerPixel()
{
    static const double twipsPerPixel
        = 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInch();
    return twipsPerPixel;
}

inline QPointF ToPixels(float x, float y)
{
    return QPointF(x, y) / TwipsPerPixel();
}

inline float ToTwips(double pixels)
{
    return static_cast<float>(pixels * TwipsPerPixel());
}

// The whole pixel a widget is placed at: rounded, and kept within a range the toolkit's integer
// geometry can take, whatever the value in twips.
inline int ToPixelPosition(float twips)
{
    // Far beyond any screen, yet well inside int for every later sum of geometry.
    constexpr double Limit = 1 << 24;
    const double pixels = static_cast<double>(twips) / TwipsPerPixel();
    return std::isnan(pixels) ? 0
                              : static_cast<int>(std::lround(std::clamp(pixels, -Limit, Limit)));
}

inline QColor ToQColor(Colour colour)
{
    return { static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
        static_cast<int>((colour >> 16) & 0xFF) };
}

inline QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace platform
