#pragma once

#include "curvemodel.h"

#include <QPointF>

#include <vector>

namespace bench {

// The editor's curve at start-up, taken from its design as Form_Load takes it: the control
// points at the markers' top-left corners.
CurveModel InitialModel();

// The same in logical pixels: the eight control points and the curve's 101 samples.
std::vector<QPointF> InitialControlPoints();
std::vector<QPointF> InitialCurveSamples();

} // namespace bench
