#include "curvepicture.h"

#include <QPainter>
#include <QTest>

using namespace testsupport;

// The picture checks against pictures drawn here, not by the program: the whole curve passes, and
// the curve that stops one segment short of P7 does not, though its red tangent shows the way.
class TestCurvePicture : public QObject {
    Q_OBJECT

    // The client area at 96 dpi with the start-up curve's tangents and its first `segments`.
    static QImage Drawn(int segments)
    {
        QImage image(605, 361, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        const auto point = [](std::size_t i) {
            return DevicePoint({ InitialX[i], InitialY[i] }, {}, 1);
        };
        const auto sample
            = [](int k) { return DevicePoint(CurvePoint(InitialX, InitialY, k / 100.0), {}, 1); };
        painter.setPen(Red);
        painter.drawLine(point(0), point(1));
        painter.drawLine(point(7), point(6));
        painter.setPen(Qt::black);
        for (int k = 1; k <= segments; ++k)
            painter.drawLine(sample(k - 1), sample(k));
        return image;
    }

private slots:
    void wholeCurvePasses() { QCOMPARE(CurveProblem(Drawn(100), {}, 1), QString()); }

    void curveWithoutItsLastSegmentFails()
    {
        QVERIFY(CurveProblem(Drawn(99), {}, 1).startsWith("no curve"));
        QVERIFY(!FindCurve(Drawn(99), 1));
    }
};

QTEST_APPLESS_MAIN(TestCurvePicture)
#include "tst_curvepicture.moc"
