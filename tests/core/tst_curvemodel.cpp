#include "curvemodel.h"
#include "testdesign.h"

#include <QTest>

#include <cmath>
#include <numeric>
#include <random>

using testsupport::InitialX;
using testsupport::InitialY;

class TestCurveModel : public QObject {
    Q_OBJECT
private slots:
    void createArraysSizesAndEmptiesAllFour()
    {
        CurveModel model;
        model.Degree = 7;
        model.CreateArrays();
        model.PointX[3] = 99;
        model.Binomial[2] = 5;
        model.CreateArrays(); // discards earlier contents
        for (const auto *table : { &model.PointX, &model.PointY })
            QCOMPARE(*table, std::vector<float>(8, 0.0f));
        QCOMPARE(model.Factorial, std::vector<std::int64_t>(8, 0));
        QCOMPARE(model.Binomial, std::vector<double>(8, 0.0));
    }

    // At degree 7, and at 20, where 20! still just fits the factorial type.
    void coefficientTablesAreExact()
    {
        const CurveModel model = testsupport::ModelOver(InitialX, InitialY);
        QCOMPARE(model.Factorial, (std::vector<std::int64_t> { 1, 1, 2, 6, 24, 120, 720, 5040 }));
        QCOMPARE(model.Binomial, (std::vector<double> { 1, 7, 21, 35, 35, 21, 7, 1 }));
        CurveModel wide;
        wide.Degree = 20;
        wide.CreateArrays();
        wide.BezierCoefficients();
        QCOMPARE(wide.Factorial[20], std::int64_t(2432902008176640000));
        QCOMPARE(wide.Binomial[10], 184756.0);
        QCOMPARE(std::accumulate(wide.Binomial.begin(), wide.Binomial.end(), 0.0), 1048576.0);
    }

    void endsAreTheEndPointsExactly()
    {
        const CurveModel model
            = testsupport::ModelOver({ 0.1f, -3, 5, 7, 11, 13, 17, 1234.567f }, InitialY);
        QCOMPARE(model.Bezier(0.0, model.PointX), double(0.1f));
        QCOMPARE(model.Bezier(1.0, model.PointX), double(1234.567f));
        QCOMPARE(model.Bezier(0.0, model.PointY), 2625.0);
        QCOMPARE(model.Bezier(1.0, model.PointY), 2310.0);
    }

    // Random points, each moved in turn between calls, at the editor's sample values of t: the
    // closed form's value, whatever was asked before.
    void anyCurveIsTheBernsteinSum()
    {
        std::mt19937_64 random(7);
        std::uniform_real_distribution<float> coordinate(-20000, 20000);
        std::vector<float> x = InitialX;
        CurveModel model = testsupport::ModelOver(x, InitialY);
        for (std::size_t step = 0; step < 20000; ++step) {
            model.PointX[step % 8] = x[step % 8] = coordinate(random);
            const double t = std::uniform_int_distribution(0, 100)(random) / 100.0;
            const double expected = testsupport::CurvePoint(x, InitialY, t).x();
            QVERIFY2(std::abs(model.Bezier(t, model.PointX) - expected) <= 1e-9,
                qPrintable(QStringLiteral("step %1, t %2").arg(step).arg(t)));
        }
    }

    void samplesOfTheInitialCurveAreExact()
    {
        const CurveModel model = testsupport::ModelOver(InitialX, InitialY);
        for (int k = 1; k <= 3; ++k) {
            QCOMPARE(model.Bezier(k / 4.0, model.PointX), testsupport::Samples[k - 1].x());
            QCOMPARE(model.Bezier(k / 4.0, model.PointY), testsupport::Samples[k - 1].y());
        }
    }
};

QTEST_APPLESS_MAIN(TestCurveModel)
#include "tst_curvemodel.moc"
