// The forms' units in the toolkit's: twips to pixels, 0x00BBGGRR colours, UTF-8 text.
#pragma once

#include "design.h"

#include <QColor>
#include <QPointF>
#include <QString>

#include <string_view>

namespace platform {

// Twips are 1/1440 inch and a logical pixel is 1/(logical dpi) inch: 15 twips at 96 dpi, 10 at
// 144 dpi (where the toolkit's own scaling is off and the desktop asks for larger type).
double TwipsPerPixel();

// The whole pixel a widget is placed at: rounded, and kept within a range the toolkit's integer
// geometry can take, whatever the value in twips.
int PixelPosition(float twips);

inline QPointF ToPixels(float x, float y)
{
    return QPointF(x, y) / TwipsPerPixel();
}

inline QRgb ToQRgb(Colour colour)
{
    return qRgb(qBlue(colour), qGreen(colour), qRed(colour)); // QRgb's layout, red and blue swapped
}

inline Colour ToColour(QRgb rgb)
{
    return ToQRgb(rgb) & 0x00FFFFFF; // the same swap, and no alpha
}

inline QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace platform
