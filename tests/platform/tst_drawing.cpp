#include "form.h"
#include "testsupport.h"

#include <QMainWindow>
#include <QTest>

#include <limits>

using namespace testsupport;
using enum platform::ControlKind;

namespace {

// clang-format off
constexpr platform::ControlDesign Controls[] = {
    { .name = "Command1", .kind = PushButton, .index = 1, .caption = "1",
      .left = 1500, .top = 1500, .width = 600, .height = 600, .tabIndex = 0 },
};

// 400 x 300 pixels, no menu.
constexpr platform::FormDesign Design { .name = "Drawing", .caption = "Drawing",
    .clientWidth = 6000, .clientHeight = 4500, .controls = Controls };
// clang-format on

const QColor Red(255, 0, 0);

} // namespace

class TestDrawing : public QObject {
    Q_OBJECT
private slots:
    void coloursAreRedGreenBlueFromTheLowByteUp()
    {
        platform::Form form(Design);
        form.Show();
        form.Cls();
        form.Line(150, 150, 1500, 150, 0x000000FF);
        form.Line(150, 300, 1500, 300, 0x00C0FFFF);
        form.Line(150, 450, 1500, 450, 0x00C00000);
        form.Line(150, 600, 1500, 600, 0x00008000);
        const QImage picture = Picture(Window("Drawing"));
        QCOMPARE(picture.pixelColor(DevicePixel(picture, 750, 150)), Red);
        QCOMPARE(picture.pixelColor(DevicePixel(picture, 750, 300)), QColor(255, 255, 192));
        QCOMPARE(picture.pixelColor(DevicePixel(picture, 750, 450)), QColor(0, 0, 192));
        QCOMPARE(picture.pixelColor(DevicePixel(picture, 750, 600)), QColor(0, 128, 0));
    }

    void linesAreOnePixelWideAndNotAntialiased()
    {
        platform::Form form(Design);
        form.Show();
        form.Cls();
        form.Line(300, 3000, 5700, 3900, 0x000000FF); // shallow: one pixel per column
        const QImage picture = Picture(Window("Drawing"));
        int red = 0;
        int other = 0;
        for (int y = 0; y < picture.height(); ++y) {
            const QColor c = picture.pixelColor(200, y);
            red += c == Red ? 1 : 0;
            other += c != Red && c != Background(Window("Drawing")) ? 1 : 0;
        }
        QCOMPARE(red, 1);
        QCOMPARE(other, 0);
        QCOMPARE(CountColour(picture, Red) + CountColour(picture, Background(Window("Drawing"))),
            picture.width() * picture.height());
    }

    void currentPositionLinksTheDrawingCalls()
    {
        platform::Form form(Design);
        form.Show();
        form.Cls();
        form.Line(600, 3000, 3000, 3000, 0x000000FF);
        form.Line(3000, 4200); // from the end of the red line, in the foreground colour
        form.PSet(4500, 600);
        form.Line(5400, 600); // from the point just set
        const QImage picture = Picture(Window("Drawing"));
        const QColor fore = Foreground(Window("Drawing"));
        QVERIFY(HasColourNear(picture, 3000, 3600, fore, 0));
        QVERIFY(!HasColourNear(picture, 3000, 2400, fore, 2));
        QVERIFY(HasColourNear(picture, 4500, 600, fore, 0));
        QVERIFY(HasColourNear(picture, 4950, 600, fore, 0));
        QVERIFY(!HasColourNear(picture, 3750, 600, fore, 2));
    }

    void clsErasesEverythingAndResetsThePosition()
    {
        platform::Form form(Design);
        form.Show();
        form.Cls();
        form.Line(600, 600, 5000, 4000, 0x000000FF);
        form.PSet(5500, 4200);
        form.Cls();
        QImage picture = Picture(Window("Drawing"));
        QCOMPARE(CountColour(picture, Background(Window("Drawing"))),
            picture.width() * picture.height());

        form.Line(1500, 0); // from (0, 0) after Cls
        picture = Picture(Window("Drawing"));
        QVERIFY(HasColourNear(picture, 0, 0, Foreground(Window("Drawing")), 0));
        QVERIFY(HasColourNear(picture, 750, 0, Foreground(Window("Drawing")), 0));
    }

    void drawingLiesBeneathTheControls()
    {
        platform::Form form(Design);
        form.Show();
        QVERIFY(QTest::qWaitForWindowExposed(Window("Drawing")));
        form.Cls();
        form.Line(0, 1800, 6000, 1800, 0x000000FF); // through the button at 1500..2100
        QCoreApplication::processEvents();
        const QImage screen = Screen(Window("Drawing"));
        QCOMPARE(screen.pixelColor(DevicePixel(screen, 600, 1800)), Red);
        QVERIFY(screen.pixelColor(DevicePixel(screen, 1800, 1800)) != Red);
        QCOMPARE(Picture(Window("Drawing")).pixelColor(DevicePixel(screen, 1800, 1800)), Red);
    }

    void pictureSurvivesExposureAndResizing()
    {
        platform::Form form(Design);
        form.Show();
        QVERIFY(QTest::qWaitForWindowExposed(Window("Drawing")));
        form.Cls();
        form.Line(300, 300, 9000, 4200, 0x000000FF); // reaches beyond the client area
        QCoreApplication::processEvents();

        ClientArea(Window("Drawing"))->repaint();
        QVERIFY(HasColourNear(Screen(Window("Drawing")), 3000, 1510, Red));

        Window("Drawing")->hide();
        Window("Drawing")->show();
        QVERIFY(QTest::qWaitForWindowExposed(Window("Drawing")));
        QVERIFY(HasColourNear(Screen(Window("Drawing")), 3000, 1510, Red));

        Window("Drawing")->resize(1, 1);
        QCoreApplication::processEvents();
        Window("Drawing")->resize(700, 400);
        QCoreApplication::processEvents();
        const QImage grown = Screen(Window("Drawing"));
        QCOMPARE(grown.size(), QSize(700, 400) * grown.devicePixelRatio());
        QVERIFY(HasColourNear(grown, 3000, 1510, Red));
        QVERIFY(HasColourNear(grown, 8100, 3795, Red)); // drawn while outside the window
        Window("Drawing")->resize(4000, 3000);
        QCoreApplication::processEvents();
        QVERIFY(HasColourNear(Screen(Window("Drawing")), 8100, 3795, Red));
    }

    void farAndInvalidCoordinatesAreSafe()
    {
        platform::Form form(Design);
        form.Show();
        form.Cls();
        const float inf = std::numeric_limits<float>::infinity();
        form.Line(-1.5e10f, 1500, 1.5e10f, 1500, 0x000000FF); // crosses the whole area
        form.Line(-3.0e38f, -3.0e38f, 3.0e38f, 3.0e38f, 0x000000FF);
        form.Line(0, 0, inf, 0, 0x000000FF);
        form.Line(std::numeric_limits<float>::quiet_NaN(), 0);
        form.PSet(-1e30f, 1e30f);
        form.Line(300, 3000);
        const QImage picture = Picture(Window("Drawing"));
        QVERIFY(HasColourNear(picture, 3000, 1500, Red, 0));
        QVERIFY(HasColourNear(picture, 300, 3000, Foreground(Window("Drawing")), 0));
    }
};

BEZIER7_TEST_MAIN(TestDrawing)
#include "tst_drawing.moc"
