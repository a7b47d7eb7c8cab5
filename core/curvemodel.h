#pragma once

#include <cstdint>
#include <vector>

// The one curve the editor shows: its degree, control points and binomial coefficients, and the
// evaluation of one coordinate of the Bezier curve in Bernstein form.
class CurveModel {
public:
    using Coordinates = std::vector<float>;

    std::int16_t Degree = 0;
    std::vector<std::int64_t> Factorial;
    std::vector<double> Binomial;
    Coordinates PointX;
    Coordinates PointY;

    // Creates the four tables with indices 0 ... Degree, every element zero, discarding any
    // earlier contents.
    void CreateArrays();

    // Fills Factorial and Binomial from Degree.
    void BezierCoefficients();

    // The coordinate of the curve at t along the axis whose control coordinates are P.
    double Bezier(double t, const Coordinates &P) const;
};
