// The editor's design as the tests know it, written out here and never read from the program: its
// control points, its controls' boxes and the curve's samples, in twips.
#pragma once

#include "curvemodel.h"

#include <QPointF>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace testsupport {

// At 96 dots per inch; the tests that run at other densities say so.
constexpr double TwipsAt96Dpi = 15;

// The whole pixel a position in twips lands on, as the windows place their controls.
inline int Pixels(double twips, double twipsPerPixel = TwipsAt96Dpi)
{
    // Kept within int however far a marker was dragged.
    return static_cast<int>(std::lround(std::clamp(twips / twipsPerPixel, -1e9, 1e9)));
}

// The control points at start-up: the top-left corners of the markers 0 ... 7.
inline const std::vector<float> InitialX { 7455, 4830, 2625, 1260, 1260, 2625, 4830, 7455 };
inline const std::vector<float> InitialY { 2625, 2940, 3150, 2835, 1995, 1575, 1890, 2310 };

constexpr QRectF Client(0, 0, 9075, 5415);
constexpr QRectF TextInd(8160, 0, 495, 285);
constexpr QRectF TextX(8160, 360, 855, 285);
constexpr QRectF TextY(8160, 720, 855, 285);

// Marker i's box with its corner at (x, y): the end points' option buttons are wider.
inline QRectF MarkerBox(int i, float x, float y)
{
    return { x, y, i == 0 || i == 7 ? 375.0 : 255.0, 255 };
}

// The initial curve at t = 1/4, 1/2 and 3/4, exact in double and in float.
constexpr QPointF Samples[] = { { 3644.69970703125, 2873.5546875 }, { 2195.15625, 2398.59375 },
    { 3644.69970703125, 1936.552734375 } };

// The point at t of the curve over control points in twips, by the closed form with its binomial
// coefficients written out.
inline QPointF CurvePoint(const std::vector<float> &x, const std::vector<float> &y, double t)
{
    constexpr double Binomial[] = { 1, 7, 21, 35, 35, 21, 7, 1 };
    QPointF sum;
    for (std::size_t i = 0; i < 8; ++i)
        sum += Binomial[i] * std::pow(1 - t, 7 - static_cast<int>(i))
            * std::pow(t, static_cast<int>(i)) * QPointF(x[i], y[i]);
    return sum;
}

// A model over any points, its coefficients computed.
inline CurveModel ModelOver(const std::vector<float> &x, const std::vector<float> &y)
{
    CurveModel model;
    model.Degree = static_cast<std::int16_t>(x.size() - 1);
    model.CreateArrays();
    model.PointX = x;
    model.PointY = y;
    model.BezierCoefficients();
    return model;
}

} // namespace testsupport
