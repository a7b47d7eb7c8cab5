#include "initialcurve.h"

#include "form1design.h"

namespace bench {

namespace {
constexpr double TwipsPerPixel = 15.0;
}

CurveModel InitialModel()
{
    CurveModel model;
    model.Degree = 7;
    model.CreateArrays();
    for (const platform::ControlDesign &item : Form1Design().controls) {
        if (item.index < 0)
            continue;
        model.PointX[static_cast<std::size_t>(item.index)] = item.left;
        model.PointY[static_cast<std::size_t>(item.index)] = item.top;
    }
    model.BezierCoefficients();
    return model;
}

std::vector<QPointF> InitialControlPoints()
{
    const CurveModel model = InitialModel();
    std::vector<QPointF> points;
    for (std::size_t i = 0; i < model.PointX.size(); ++i)
        points.emplace_back(model.PointX[i] / TwipsPerPixel, model.PointY[i] / TwipsPerPixel);
    return points;
}

std::vector<QPointF> InitialCurveSamples()
{
    const CurveModel model = InitialModel();
    std::vector<QPointF> samples;
    for (int k = 0; k <= 100; ++k) {
        const double t = k / 100.0;
        // Through float, as the editor passes the samples on.
        samples.emplace_back(static_cast<float>(model.Bezier(t, model.PointX)) / TwipsPerPixel,
            static_cast<float>(model.Bezier(t, model.PointY)) / TwipsPerPixel);
    }
    return samples;
}

} // namespace bench
