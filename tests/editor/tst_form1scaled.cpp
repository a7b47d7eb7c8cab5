#include "form1.h"
#include "initialcurve.h"
#include "testsupport.h"

#include <QMainWindow>
#include <QTest>

#include <cmath>

using namespace testsupport;

namespace {

// The scale factor this run has, from BEZIER7_SCALE: CTest runs the program at 2, 1.25 and 1.5.
double Scale()
{
    bool set = false;
    const double scale = qEnvironmentVariable("BEZIER7_SCALE").toDouble(&set);
    return set ? scale : 1.0;
}

} // namespace

// The editor on a scaled display: the picture is drawn at device resolution, so lines stay one
// device pixel wide and the samples land on their device pixels.
class TestForm1Scaled : public QObject {
    Q_OBJECT
private slots:
    void pictureIsDrawnAtDeviceResolution()
    {
        Form1 form;
        form.Form_Load();
        QVERIFY(QTest::qWaitForWindowExposed(Window("Form1")));

        const QImage screen = Screen(Window("Form1"));
        QCOMPARE(screen.devicePixelRatio(), Scale());
        QVERIFY(std::abs(screen.width() - 605 * Scale()) <= 1);
        QVERIFY(std::abs(screen.height() - 361 * Scale()) <= 1);

        const QColor curve = Foreground(Window("Form1"));
        const QPointF samples[] = { { 3644.69970703125, 2873.5546875 }, { 2195.15625, 2398.59375 },
            { 3644.69970703125, 1936.552734375 } };
        for (const QPointF &sample : samples)
            QVERIFY(HasColourNear(screen, float(sample.x()), float(sample.y()), curve));
        QCOMPARE(StrayInk(Window("Form1"), InitialX, InitialY), QString());

        // Both tangents are shallow, so a line one device pixel wide has no two red pixels one
        // above the other; drawn at logical resolution and scaled up, every column would.
        const QImage picture = Picture(Window("Form1"));
        const QColor red(255, 0, 0);
        int reds = 0;
        for (int y = 0; y + 1 < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const bool here = picture.pixelColor(x, y) == red;
                reds += here ? 1 : 0;
                QVERIFY(!(here && picture.pixelColor(x, y + 1) == red));
            }
        QVERIFY(reds > 200 * Scale()); // two segments 175 pixels wide, partly covered by the curve
    }

    // P0's dot is the first pixel of the curve's first segment, which leaves P0 leftwards and a
    // little downwards: the dot has one neighbour in ink, to its left, and none above, below or
    // to its right, where a dot one device pixel off the segment's start would show a hook.
    void pointZerosDotStartsTheCurve()
    {
        Form1 form;
        form.Form_Load();
        QVERIFY(QTest::qWaitForWindowExposed(Window("Form1")));
        const QImage picture = Picture(Window("Form1"));
        const QColor curve = Foreground(Window("Form1"));
        // In device pixels of the window, where the client area may begin between two of them.
        const double perTwip = Scale() / (1440.0 / 96);
        const QPointF origin
            = QPointF(ClientArea(Window("Form1"))->mapTo(Window("Form1"), QPoint(0, 0))) * Scale();
        const auto device = [&](double from, double twips) {
            return static_cast<int>(std::floor(from + twips * perTwip) - std::floor(from));
        };
        const QPoint dot(device(origin.x(), 7455), device(origin.y(), 2625));
        QString around;
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx)
                around += picture.pixelColor(dot + QPoint(dx, dy)) == curve ? '#' : '.';
            around += ' ';
        }
        QCOMPARE(picture.pixelColor(dot), curve);
        for (const QPoint off :
            { QPoint(0, -1), QPoint(0, 1), QPoint(1, -1), QPoint(1, 0), QPoint(1, 1) })
            QVERIFY2(picture.pixelColor(dot + off) != curve, qPrintable(around));
        int left = 0;
        for (int dy = -1; dy <= 1; ++dy)
            left += picture.pixelColor(dot + QPoint(-1, dy)) == curve ? 1 : 0;
        QVERIFY2(left == 1, qPrintable(around));
    }
};

BEZIER7_TEST_MAIN(TestForm1Scaled)
#include "tst_form1scaled.moc"
