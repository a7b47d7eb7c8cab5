#include "curvemodel.h"

namespace {

// base^exponent by repeated multiplication; exponent 0 gives 1, so 0^0 = 1.
double Power(double base, int exponent)
{
    double result = 1.0;
    for (int k = 0; k < exponent; ++k)
        result *= base;
    return result;
}

} // namespace

void CurveModel::CreateArrays()
{
    const auto size = static_cast<std::size_t>(Degree) + 1;
    Factorial.assign(size, 0);
    Binomial.assign(size, 0.0);
    PointX.assign(size, 0.0f);
    PointY.assign(size, 0.0f);
}

void CurveModel::BezierCoefficients()
{
    Factorial[0] = 1;
    for (int i = 1; i <= Degree; ++i)
        Factorial[i] = Factorial[i - 1] * i;
    // Two successive divisions in double precision, first by i!, then by (Degree - i)!.
    for (int i = 0; i <= Degree; ++i)
        Binomial[i] = static_cast<double>(Factorial[Degree]) / static_cast<double>(Factorial[i])
            / static_cast<double>(Factorial[Degree - i]);
}

double CurveModel::Bezier(double t, const Coordinates &P) const
{
    // The direct Bernstein sum, each term from scratch and multiplied in this order.
    double sum = 0.0;
    for (int i = 0; i <= Degree; ++i) {
        double term = Binomial[i] * Power(1.0 - t, Degree - i);
        term = term * Power(t, i);
        term = term * static_cast<double>(P[i]);
        sum = sum + term;
    }
    return sum;
}
