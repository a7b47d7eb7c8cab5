#include "curvemodel.h"
#include "testdesign.h"

#include <QTest>

#include <cmath>
#include <numeric>

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

    void coefficientTablesAreExact()
    {
        const CurveModel model = testsupport::ModelOver(InitialX, InitialY);
        QCOMPARE(model.Factorial, (std::vector<std::int64_t> { 1, 1, 2, 6, 24, 120, 720, 5040 }));
        QCOMPARE(model.Binomial, (std::vector<double> { 1, 7, 21, 35, 35, 21, 7, 1 }));
    }

    void coefficientsFollowTheDegree()
    {
        CurveModel model;
        model.Degree = 20; // 20! still fits the factorial type
        model.CreateArrays();
        model.BezierCoefficients();
        QCOMPARE(model.Factorial[20], std::int64_t(2432902008176640000));
        QCOMPARE(model.Binomial[10], 184756.0);
        QCOMPARE(std::accumulate(model.Binomial.begin(), model.Binomial.end(), 0.0), 1048576.0);
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

    void equalPointsGiveThatValueEverywhere()
    {
        const CurveModel model
            = testsupport::ModelOver(std::vector<float>(8, 1000.5f), std::vector<float>(8, -3));
        for (int k = 0; k <= 100; ++k) {
            const double t = k / 100.0;
            QVERIFY(std::abs(model.Bezier(t, model.PointX) - 1000.5) <= 1e-9);
            QVERIFY(std::abs(model.Bezier(t, model.PointY) + 3) <= 1e-12);
        }
    }

    void midpointWeighsTheLastPointByHalfToTheSeventh()
    {
        const CurveModel model = testsupport::ModelOver({ 0, 0, 0, 0, 0, 0, 0, 128 }, InitialY);
        QCOMPARE(model.Bezier(0.5, model.PointX), 1.0);
    }

    void samplesOfTheInitialCurveAreExact()
    {
        const CurveModel model = testsupport::ModelOver(InitialX, InitialY);
        for (int k = 1; k <= 3; ++k) {
            QCOMPARE(model.Bezier(k / 4.0, model.PointX), testsupport::Samples[k - 1].x());
            QCOMPARE(model.Bezier(k / 4.0, model.PointY), testsupport::Samples[k - 1].y());
        }
    }

    void movedPointCountsAtTheNextCall()
    {
        CurveModel model = testsupport::ModelOver(InitialX, InitialY);
        const double before = model.Bezier(0.5, model.PointX);
        model.PointX[3] += 700; // weight 35 / 128 at t = 0.5
        QCOMPARE(model.Bezier(0.5, model.PointX), before + 700.0 * 35 / 128);
    }
};

QTEST_APPLESS_MAIN(TestCurveModel)
#include "tst_curvemodel.moc"
