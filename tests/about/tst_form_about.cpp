#include "curvepicture.h"
#include "form1.h"
#include "form_about.h"
#include "testsupport.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

using namespace testsupport;

namespace {

struct Label {
    const char *name;
    QRectF twips;
    QColor text; // invalid: the platform's default, dark on the light yellow
};

const Label Labels[] = {
    { "Label1", { 240, 240, 2535, 870 }, QColor(0, 128, 0) },
    { "Label2", { 720, 1560, 1335, 375 }, QColor() },
    { "Label3", { 480, 1890, 1935, 255 }, QColor(255, 0, 0) },
    { "Label4", { 480, 2400, 1935, 255 }, QColor(0, 0, 192) },
};

// How many of a label's pixels, as the window presents them, are of exactly this colour, or with
// an invalid one of a colour darker than a quarter of white.
int Ink(const QMainWindow *window, const char *label, QColor colour)
{
    const QImage screen = Screen(window);
    const QRect area = DeviceRect(window, Control(window, label));
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = screen.pixelColor(x, y);
            count += (colour.isValid() ? pixel == colour : pixel.lightness() < 64) ? 1 : 0;
        }
    return count;
}

} // namespace

class TestFormAbout : public QObject {
    Q_OBJECT

    std::unique_ptr<Form_About> about;
    QMainWindow *window = nullptr;

private slots:
    void init()
    {
        about = std::make_unique<Form_About>();
        about->Show();
        window = Window("Form_About");
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }

    void cleanup() { about.reset(); }

    // Four labels on light yellow, each in its box and its text in its colour, legible and whole
    // within the box, whatever face stands in for the design's.
    void labelsShowTheirTextsWholeInTheirColours()
    {
        QCOMPARE(ClientArea(window)->size(), Placed({ 0, 0, 2940, 3045 }).size());
        const QImage screen = Screen(window);
        QCOMPARE(
            screen.pixelColor(DevicePoint({ 100, 2900 }, Origin(window), Scale(window)).toPoint()),
            LightYellow);
        for (const Label &label : Labels) {
            QCOMPARE(Control(window, label.name)->geometry(), Placed(label.twips));
            QVERIFY2(Ink(window, label.name, label.text) >= 5, label.name);
            QCOMPARE(IllegibleText(window, Control(window, label.name), 6), QString());
        }
    }

    // Under a dark theme the About window keeps dark default text on its light yellow, and the
    // editor, which follows the theme, draws its curve in a colour its background does not have.
    void darkThemeKeepsTextsAndCurveVisible()
    {
        about.reset();
        const QPalette light = QApplication::palette();
        QApplication::setPalette(QPalette(QColor(53, 53, 53), QColor(40, 40, 40)));
        {
            init(); // the About window made anew under the dark theme
            QVERIFY(Ink(window, "Label2", QColor()) >= 5);

            Form1 editor;
            editor.Form_Load();
            QMainWindow *form1 = Window("Form1");
            QVERIFY(QTest::qWaitForWindowExposed(form1));
            const QImage screen = Screen(form1);
            QCOMPARE(screen.pixelColor(Origin(form1).toPoint() + QPoint(2, 2)), QColor(40, 40, 40));
            QCOMPARE(CurveProblem(screen, Origin(form1), Scale(form1)), QString());
        }
        QApplication::setPalette(light);
    }

    // Title bars ask for 16 pixels, task bars and window switchers for 48 and up.
    void bothWindowsCarryTheIcon()
    {
        Form1 editor;
        for (const QWidget *form : { window, Window("Form1") }) {
            const QList<QSize> sizes = form->windowIcon().availableSizes();
            for (const int size : { 16, 24, 32, 48, 64, 128, 256 })
                QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
        }
    }
};

BEZIER7_TEST_MAIN(TestFormAbout)
#include "tst_form_about.moc"
