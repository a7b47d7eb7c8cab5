#include "form1.h"
#include "initialcurve.h"
#include "testsupport.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;

namespace {

const QColor Red(255, 0, 0);

// The three samples of the initial curve at t = 0.25, 0.5 and 0.75, in twips.
const QPointF Samples[] = { { 3644.69970703125, 2873.5546875 }, { 2195.15625, 2398.59375 },
    { 3644.69970703125, 1936.552734375 } };

struct Expected {
    const char *name;
    const char *kind;
    const char *text;
    QRect twips;
};

// The window's design as the user sees it, in creation order.
const Expected Design[] = {
    { "Option1(7)", "QRadioButton", "7", { 7455, 2310, 375, 255 } },
    { "Option1(0)", "QRadioButton", "0", { 7455, 2625, 375, 255 } },
    { "Command1(6)", "QPushButton", "6", { 4830, 1890, 255, 255 } },
    { "Text_Ind", "QLineEdit", "Index", { 8160, 0, 495, 285 } },
    { "Text_y", "QLineEdit", "y", { 8160, 720, 855, 285 } },
    { "Text_x", "QLineEdit", "x", { 8160, 360, 855, 285 } },
    { "Command1(1)", "QPushButton", "1", { 4830, 2940, 255, 255 } },
    { "Command1(2)", "QPushButton", "2", { 2625, 3150, 255, 255 } },
    { "Command1(3)", "QPushButton", "3", { 1260, 2835, 255, 255 } },
    { "Command1(4)", "QPushButton", "4", { 1260, 1995, 255, 255 } },
    { "Command1(5)", "QPushButton", "5", { 2625, 1575, 255, 255 } },
};

QString TextOf(QWidget *widget)
{
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        return edit->text();
    return qobject_cast<QAbstractButton *>(widget)->text();
}

// The smallest type a user is asked to read on a marker or a read-out.
constexpr double LegiblePoints = 6;

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> form;

    QWidget *widget(const char *name) const
    {
        return ClientArea(Window("Form1"))->findChild<QWidget *>(QString::fromLatin1(name));
    }

private slots:
    void init()
    {
        form = std::make_unique<Form1>();
        form->Form_Load();
        QVERIFY(QTest::qWaitForWindowActive(Window("Form1")));
    }

    void cleanup() { form.reset(); }

    // The first curve is drawn through the markers' design positions, with nothing else.
    void startUpDrawsTheCurveThroughTheMarkers()
    {
        QCOMPARE(StrayInk(Window("Form1"), InitialX, InitialY), QString());
        const QImage screen = Screen(Window("Form1"));
        for (const QPointF &sample : Samples)
            QVERIFY(HasColourNear(
                screen, float(sample.x()), float(sample.y()), Foreground(Window("Form1"))));
        QCOMPARE(form->Controls("Text_Ind").Text(), std::string("Index"));
        QCOMPARE(form->Controls("Text_x").Text(), std::string("x"));
        QCOMPARE(form->Controls("Text_y").Text(), std::string("y"));
    }

    void windowMatchesItsDesign()
    {
        QCOMPARE(Window("Form1")->windowTitle(), QString("Bezier curve with 7 points"));
        QCOMPARE(ClientArea(Window("Form1"))->size(), QSize(605, 361));
        QCOMPARE(ClientArea(Window("Form1"))->y(), Window("Form1")->menuBar()->height());

        const QList<QAction *> menu = Window("Form1")->menuBar()->actions();
        QCOMPARE(menu.size(), 1);
        QCOMPARE(menu[0]->text(), QString("About"));
        QCOMPARE(menu[0]->objectName(), QString("Mn_About"));
        QVERIFY(!menu[0]->menu());

        QCOMPARE(
            ClientArea(Window("Form1"))->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).size(),
            std::size(Design));
        for (const Expected &expected : Design) {
            QWidget *control = widget(expected.name);
            QVERIFY2(control, expected.name);
            QCOMPARE(control->metaObject()->className(), expected.kind);
            QCOMPARE(TextOf(control), QString(expected.text));
            const QRect &t = expected.twips;
            QCOMPARE(control->geometry(),
                QRect(t.x() / 15, t.y() / 15, t.width() / 15, t.height() / 15));
        }
        // Bottom to top: the read-outs, then the markers in creation order, so that a marker
        // dropped onto a read-out can be picked up again.
        QStringList stacking;
        for (const QWidget *child :
            ClientArea(Window("Form1"))->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            stacking << child->objectName();
        QCOMPARE(stacking,
            QStringList({ "Text_Ind", "Text_y", "Text_x", "Option1(7)", "Option1(0)", "Command1(6)",
                "Command1(1)", "Command1(2)", "Command1(3)", "Command1(4)", "Command1(5)" }));
        QCOMPARE(form->ControlArrays("Option1")(7).Left(), 7455.0f);
        QCOMPARE(form->ControlArrays("Command1")(2).Top(), 3150.0f);
    }

    // The option group is one tab stop, entered at its first button, as the platform does it.
    void tabKeyFollowsTabIndexFromHandleFive()
    {
        QCOMPARE(QApplication::focusWidget(), widget("Command1(5)"));
        const char *order[] = { "Command1(4)", "Command1(3)", "Command1(2)", "Command1(1)",
            "Text_x", "Text_y", "Text_Ind", "Command1(6)", "Option1(0)", "Command1(5)" };
        for (const char *name : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QString(name));
        }
    }

    // The two end-point markers are one option group: selecting one clears the other.
    void endPointMarkersAreOneOptionGroup()
    {
        auto *zero = qobject_cast<QRadioButton *>(widget("Option1(0)"));
        auto *seven = qobject_cast<QRadioButton *>(widget("Option1(7)"));
        QVERIFY(!zero->isChecked() && !seven->isChecked());
        Pointer pointer(Window("Form1"));
        pointer.moveOnto(widget("Option1(0)"), 60, 60);
        pointer.press(Qt::LeftButton);
        pointer.release(Qt::LeftButton);
        QVERIFY(zero->isChecked());
        pointer.moveOnto(widget("Option1(7)"), 60, 60);
        pointer.press(Qt::LeftButton);
        pointer.release(Qt::LeftButton);
        QVERIFY(seven->isChecked() && !zero->isChecked());
    }

    void markersAndReadOutsShowTheirTextsWhole()
    {
        if (qEnvironmentVariableIsSet("FONTCONFIG_FILE")) // run again with one face only
            QCOMPARE(
                QFontDatabase::families().filter(QRegularExpression("DejaVu|Liberation")).size(),
                1);
        for (const Expected &expected : Design)
            QCOMPARE(
                IllegibleText(Window("Form1"), widget(expected.name), LegiblePoints), QString());
        for (const char *value : { "-4830", "10245", "3644.7" }) {
            form->Controls("Text_x").SetText(value);
            QCOMPARE(IllegibleText(Window("Form1"), widget("Text_x"), LegiblePoints), QString());
        }
    }

    // Where the narrow face is missing, where only a serif face is installed, where the desktop
    // asks for 144 dpi with the toolkit's scaling off, and under the Windows style.
    void textsStayWholeAndTwipsFollowTheLogicalDpi()
    {
        QTemporaryDir folder;
        const QStringList legibility { "markersAndReadOutsShowTheirTextsWhole" };
        QVERIFY(RunAgain(legibility,
            { { "FONTCONFIG_FILE",
                FontConfigOffering(folder.filePath("sans"), { "DejaVuSans.ttf" }) } }));
        QVERIFY(RunAgain(legibility,
            { { "FONTCONFIG_FILE",
                FontConfigOffering(folder.filePath("serif"), { "DejaVuSerif.ttf" }) } }));
        QVERIFY(RunAgain(legibility + QStringList { "atLogicalDpi144" },
            { { "QT_ENABLE_HIGHDPI_SCALING", "0" }, { "QT_FONT_DPI", "144" } }));
        // Qt's Windows style, whose menu bar takes more height than its size hint says.
        QVERIFY(RunAgain(legibility + QStringList { "windowMatchesItsDesign" },
            { { "QT_STYLE_OVERRIDE", "windows" } }));
    }

    // Ten twips to the pixel: the client area and a drag in pixels follow.
    void atLogicalDpi144()
    {
        if (QGuiApplication::primaryScreen()->logicalDotsPerInch() != 144)
            QSKIP("run again at 144 dpi by textsStayWholeAndTwipsFollowTheLogicalDpi");
        QVERIFY(qAbs(ClientArea(Window("Form1"))->width() - 908) <= 1);
        QVERIFY(qAbs(ClientArea(Window("Form1"))->height() - 542) <= 1);

        QWidget *handle = widget("Command1(2)");
        const QPoint grip = handle->mapTo(Window("Form1"), QPoint(5, 5));
        QWindow *window = Window("Form1")->windowHandle();
        QTest::mouseMove(window, grip);
        QTest::mousePress(window, Qt::LeftButton, {}, grip);
        QTest::mouseMove(window, grip + QPoint(10, 0)); // the corner jumps under the pointer
        const float left = form->ControlArrays("Command1")(2).Left();
        QCOMPARE(left, 2625 + 150); // the grip's 5 pixels and the move's 10
        QTest::mouseMove(window, grip + QPoint(50, 0));
        QTest::mouseRelease(window, Qt::LeftButton, {}, grip + QPoint(50, 0));
        QCOMPARE(form->ControlArrays("Command1")(2).Left(), left + 400);
        QCOMPARE(form->Controls("Text_x").Text(), std::to_string(int(left) + 400));
    }

    void initialPictureHasTangentsAndCurve()
    {
        const QImage picture = Picture(Window("Form1"));
        const QColor curve = Foreground(Window("Form1"));
        // Red tangents P0-P1 and P7-P6, sampled along their length.
        for (double s : { 0.3, 0.5, 0.7, 0.9 }) { // nearer the ends the curve covers them
            QVERIFY(HasColourNear(
                picture, float(7455 + s * (4830 - 7455)), float(2625 + s * (2940 - 2625)), Red));
            QVERIFY(HasColourNear(
                picture, float(7455 + s * (4830 - 7455)), float(2310 + s * (1890 - 2310)), Red));
        }
        QVERIFY(HasColourNear(picture, 7455, 2625, curve, 0)); // PSet at P0
        QVERIFY(HasColourNear(picture, 7455, 2310, curve)); // the last sample at P7
        for (const QPointF &sample : Samples)
            QVERIFY(HasColourNear(picture, float(sample.x()), float(sample.y()), curve));

        // The samples are visible on screen too, beside the markers.
        QCoreApplication::processEvents();
        const QImage screen = Screen(Window("Form1"));
        for (const QPointF &sample : Samples)
            QVERIFY(HasColourNear(screen, float(sample.x()), float(sample.y()), curve));
        QVERIFY(HasColourNear(screen, 6142.5f, 2782.5f, Red));

        QCOMPARE(StrayInk(Window("Form1"), InitialX, InitialY), QString());

        // Nothing but the tangents, the curve and the background.
        const int ink = CountColour(picture, Red) + CountColour(picture, curve);
        QCOMPARE(ink + CountColour(picture, Background(Window("Form1"))),
            picture.width() * picture.height());
        QVERIFY(CountColour(picture, Red) > 200); // two segments 175 pixels wide, partly covered
        QVERIFY(CountColour(picture, curve) > 600);
    }

    void pictureAndControlsSurviveExposureAndResize()
    {
        const QImage before = Screen(Window("Form1"));
        ClientArea(Window("Form1"))->repaint();
        Window("Form1")->showMinimized();
        Window("Form1")->showNormal();
        QVERIFY(QTest::qWaitForWindowExposed(Window("Form1")));
        QCOMPARE(Screen(Window("Form1")), before);

        for (const QSize size : { QSize(1, 1), QSize(4000, 3000), QSize(300, 200) }) {
            Window("Form1")->resize(size);
            QCoreApplication::processEvents();
            for (const Expected &expected : Design)
                QCOMPARE(widget(expected.name)->pos(),
                    QPoint(expected.twips.x() / 15, expected.twips.y() / 15));
        }
        Window("Form1")->resize(700, 500);
        QCoreApplication::processEvents();
        const QImage screen = Screen(Window("Form1"));
        for (const QPointF &sample : Samples)
            QVERIFY(HasColourNear(
                screen, float(sample.x()), float(sample.y()), Foreground(Window("Form1"))));
    }
};

BEZIER7_TEST_MAIN(TestForm1)
#include "tst_form1.moc"
