#include "canvas.h"
#include "form1.h"
#include "testsupport.h"

#include <QMainWindow>
#include <QTest>

using namespace testsupport;

// The editor on a display scaled by two: the picture is drawn at device resolution, so lines
// stay one device pixel wide and the samples land on their device pixels.
class TestForm1Scaled : public QObject {
    Q_OBJECT
private slots:
    void pictureIsDrawnAtDeviceResolution()
    {
        Form1 form;
        form.Form_Load();
        QVERIFY(QTest::qWaitForWindowExposed(form.window()));
        QCoreApplication::processEvents();

        const QImage picture = Picture(form);
        QCOMPARE(picture.devicePixelRatio(), 2.0);
        QCOMPARE(picture.size(), QSize(1210, 722));

        const QColor curve = Foreground(form);
        const QPointF samples[] = { { 3644.69970703125, 2873.5546875 }, { 2195.15625, 2398.59375 },
            { 3644.69970703125, 1936.552734375 } };
        for (const QPointF &sample : samples)
            QVERIFY(HasColourNear(picture, float(sample.x()), float(sample.y()), curve));

        // Both tangents are shallow, so a line one device pixel wide has no two red pixels one
        // above the other; drawn at logical resolution and scaled up, every column would.
        const QColor red(255, 0, 0);
        int reds = 0;
        for (int y = 0; y + 1 < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const bool here = picture.pixelColor(x, y) == red;
                reds += here ? 1 : 0;
                QVERIFY(!(here && picture.pixelColor(x, y + 1) == red));
            }
        QVERIFY(reds > 400); // two segments 350 device pixels wide, partly covered by the curve

        const QImage screen = Screen(form);
        QCOMPARE(screen.size(), QSize(1210, 722));
        QVERIFY(HasColourNear(screen, 2195.15625f, 2398.59375f, curve));
    }
};

int main(int argc, char **argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    platform::Application application(argc, argv);
    TestForm1Scaled test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_form1scaled.moc"
