#pragma once

#include "curvemodel.h"

#include <QPointF>

#include <vector>

// The editor's control points at start-up, in twips, a ready model over any points, and the
// curve's points in pixels.
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

// The curve through the given control points at t, in pixels of a client area at 96 dots per
// inch, as the real-window tests run it: 15 twips a pixel.
inline QPointF CurveAt(const std::vector<float> &x, const std::vector<float> &y, double t)
{
    const CurveModel model = ModelOver(x, y);
    return { model.Bezier(t, model.PointX) / 15, model.Bezier(t, model.PointY) / 15 };
}

} // namespace testsupport
