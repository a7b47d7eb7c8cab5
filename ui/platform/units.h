#pragma once

#include "design.h"

#include <QColor>
#include <QPointF>
#include <QString>

#include <cstdint>
#include <string_view>

// Conversions between the forms' units and Qt's, for the layer alone.
namespace platform {

// Twips are 1/1440 inch and a logical pixel is 1/(logical dpi) inch: 15 twips at 96 dpi, 10 at
// 144 dpi (where the toolkit's own scaling is off and the desktop asks for larger type). Read from
// the primary screen once, so that every window is laid out and driven at one scale.
double TwipsPerPixel();

inline double ToPixels(float twips)
{
    return static_cast<double>(twips) / TwipsPerPixel();
}

inline QPointF ToPixels(float x, float y)
{
    return { ToPixels(x), ToPixels(y) };
}

inline float ToTwips(double pixels)
{
    return static_cast<float>(pixels * TwipsPerPixel());
}

// The whole pixel a widget is placed at: rounded, and kept within a range the toolkit's integer
// geometry can take, whatever the value in twips.
int ToPixelPosition(float twips);

QColor ToQColor(Colour colour);

inline QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace platform
