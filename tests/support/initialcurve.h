#pragma once

#include "curvemodel.h"

#include <QPointF>

#include <cmath>
#include <vector>

// The editor's control points at start-up, in twips, a ready model over any points, and the
// curve's points by the closed form, in twips and in pixels.
namespace testsupport {

inline const std::vector<float> InitialX { 7455, 4830, 2625, 1260, 1260, 2625, 4830, 7455 };
inline const std::vector<float> InitialY { 2625, 2940, 3150, 2835, 1995, 1575, 1890, 2310 };

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

// The point at t of the Bezier curve over control points in twips, by the closed form with its
// binomial coefficients written out: an expectation independent of the editor's model.
inline QPointF CurvePoint(const std::vector<float> &x, const std::vector<float> &y, double t)
{
    constexpr double Binomial[] = { 1, 7, 21, 35, 35, 21, 7, 1 };
    QPointF sum;
    for (std::size_t i = 0; i < 8; ++i)
        sum += Binomial[i] * std::pow(1 - t, 7 - static_cast<int>(i))
            * std::pow(t, static_cast<int>(i)) * QPointF(x[i], y[i]);
    return sum;
}

// The same in pixels of a client area at 96 dots per inch, as the real-window tests run it: 15
// twips a pixel.
inline QPointF CurveAt(const std::vector<float> &x, const std::vector<float> &y, double t)
{
    return CurvePoint(x, y, t) / 15;
}

} // namespace testsupport
