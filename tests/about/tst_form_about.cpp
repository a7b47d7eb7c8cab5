#include "form1.h"
#include "form_about.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace testsupport;

namespace {

const QColor LightYellow(255, 255, 192);

struct Expected {
    const char *name;
    QString text;
    QColor colour; // invalid: the platform default
    int weight;
    QRect twips;
};

// In creation order.
const Expected Labels[] = {
    { "Label4", "bezier7@example.org", QColor(0, 0, 192), 400, { 480, 2400, 1935, 255 } },
    { "Label3", "bezier7 team", QColor(255, 0, 0), 700, { 480, 1890, 1935, 255 } },
    { "Label2", "developed by", QColor(), 400, { 720, 1560, 1335, 375 } },
    { "Label1", "This program generates a Bezier curve with 7 control points", QColor(0, 128, 0),
        700, { 240, 240, 2535, 870 } },
};

// The requested face, or one of those the layer falls back to where it is missing.
const QStringList Faces { "MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial",
    "DejaVu Sans" };

platform::Application &Runtime()
{
    return platform::Application::Current();
}

} // namespace

class TestFormAbout : public QObject {
    Q_OBJECT
private slots:
    void windowAndLabelsMatchTheDesign()
    {
        Form_About about;
        about.Show();
        QVERIFY(QTest::qWaitForWindowExposed(Window("Form_About")));
        QCOMPARE(Window("Form_About")->windowTitle(), QString("About"));
        QCOMPARE(ClientArea(Window("Form_About"))->size(), QSize(196, 203));
        QVERIFY(!Window("Form_About")->menuWidget());
        QVERIFY(!(Window("Form_About")->windowFlags() & Qt::MSWindowsFixedSizeDialogHint));

        const QList<QLabel *> labels
            = ClientArea(Window("Form_About"))->findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
        QCOMPARE(labels.size(), std::size(Labels));
        for (std::size_t i = 0; i < std::size(Labels); ++i) {
            const Expected &expected = Labels[i];
            const QLabel *label = labels[static_cast<qsizetype>(i)];
            QCOMPARE(label->objectName(), QString(expected.name));
            QCOMPARE(label->text(), expected.text);
            const QRect &t = expected.twips;
            QCOMPARE(
                label->geometry(), QRect(t.x() / 15, t.y() / 15, t.width() / 15, t.height() / 15));
            QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
            QVERIFY(label->wordWrap());
            if (expected.colour.isValid())
                QCOMPARE(label->palette().color(QPalette::WindowText), expected.colour);
            QCOMPARE(label->palette().color(QPalette::Window), LightYellow);
            QCOMPARE(label->font().pointSizeF(), 9.75);
            QCOMPARE(label->font().weight(), expected.weight);
            QVERIFY2(Faces.contains(QFontInfo(label->font()).family()),
                qPrintable(QFontInfo(label->font()).family()));
        }

        // Light yellow where no label lies.
        const QImage screen = Screen(Window("Form_About"));
        QCOMPARE(screen.pixelColor(DevicePixel(screen, 100, 2900)), LightYellow);
        QCOMPARE(screen.pixelColor(DevicePixel(screen, 2850, 1400)), LightYellow);
    }

    // Legible whole within each label's box, whatever face stands in for the design's.
    void labelsShowTheirTextsWhole()
    {
        Form_About about;
        about.Show();
        QVERIFY(QTest::qWaitForWindowExposed(Window("Form_About")));
        for (QLabel *label : ClientArea(Window("Form_About"))->findChildren<QLabel *>())
            QCOMPARE(IllegibleText(Window("Form_About"), label, 6), QString());
    }

    // With only a sans or only a serif face installed, and at 144 dpi with the toolkit's scaling
    // off.
    void labelsStayWholeUnderOtherFacesAndDensities()
    {
        QTemporaryDir folder;
        const QStringList legibility { "labelsShowTheirTextsWhole" };
        QVERIFY(RunAgain(legibility,
            { { "FONTCONFIG_FILE",
                FontConfigOffering(
                    folder.filePath("sans"), { "DejaVuSans.ttf", "DejaVuSans-Bold.ttf" }) } }));
        QVERIFY(RunAgain(legibility,
            { { "FONTCONFIG_FILE",
                FontConfigOffering(
                    folder.filePath("serif"), { "DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf" }) } }));
        QVERIFY(RunAgain(
            legibility, { { "QT_ENABLE_HIGHDPI_SCALING", "0" }, { "QT_FONT_DPI", "144" } }));
    }

    // Under a dark theme the About window keeps dark default text on its light yellow, and the
    // editor, which follows the theme, draws its curve in a colour its background does not have.
    void darkThemeKeepsTextsAndCurveVisible()
    {
        const QPalette light = QApplication::palette();
        QPalette dark(QColor(53, 53, 53), QColor(40, 40, 40));
        QApplication::setPalette(dark);
        QVERIFY(dark.color(QPalette::WindowText).lightness() > 200);
        {
            Form_About about;
            const auto *label2 = ClientArea(Window("Form_About"))->findChild<QLabel *>("Label2");
            QVERIFY(label2->palette().color(QPalette::WindowText).lightness() < 64);
            QCOMPARE(label2->palette().color(QPalette::Window), LightYellow);

            Form1 editor;
            editor.Form_Load();
            QVERIFY(QTest::qWaitForWindowExposed(Window("Form1")));
            QCoreApplication::processEvents();
            const QImage screen = Screen(Window("Form1"));
            const QColor background = screen.pixelColor(DevicePixel(screen, 100, 5000));
            QCOMPARE(background, QColor(40, 40, 40));
            QVERIFY(HasColourNear(screen, 2195.15625f, 2398.59375f, Foreground(Window("Form1"))));
            QVERIFY(Foreground(Window("Form1")) != background);
        }
        QApplication::setPalette(light);
    }

    void bothWindowsCarryTheIconAndTheVersion()
    {
        Runtime().Instance<Form1>();
        Runtime().Instance<Form_About>();
        for (const char *form : { "Form1", "Form_About" }) {
            // Title bars ask for 16 pixels, task bars and window switchers for 48 and up.
            const QList<QSize> sizes = Window(form)->windowIcon().availableSizes();
            for (const int size : { 16, 24, 32, 48, 64, 128, 256 })
                QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
        }
        QCOMPARE(QApplication::applicationVersion(), QString("1.00"));
        Window("Form_About")->close();
        Window("Form1")->close();
    }

    void menuItemShowsOneAboutWindowAndBringsItToTheFront()
    {
        auto &editor = Runtime().Instance<Form1>();
        QAction *item = Window("Form1")->menuBar()->actions().first();
        auto &about = Runtime().Instance<Form_About>();
        Window("Form_About")->close();

        item->trigger();
        QVERIFY(QTest::qWaitForWindowActive(Window("Form_About")));
        QCOMPARE(&Runtime().Instance<Form_About>(), &about);

        editor.Show(); // the editor stays usable and can be brought forward
        QVERIFY(QTest::qWaitForWindowActive(Window("Form1")));
        QVERIFY(about.Visible());
        item->trigger(); // chosen while open: to the front again
        QVERIFY(QTest::qWaitForWindowActive(Window("Form_About")));

        Window("Form_About")->close();
        QVERIFY(!about.Visible());
        item->trigger(); // chosen after closing: open again, the same window
        QVERIFY(about.Visible());
        QCOMPARE(&Runtime().Instance<Form_About>(), &about);
        QVERIFY(!Window("Form_About")->parentWidget());
        QVERIFY(!Window("Form_About")->isModal());
    }

    // The message loop of the runtime itself, with the windows closed from within it.
    void processEndsWithTheLastWindowEitherWay()
    {
        auto &editor = Runtime().Instance<Form1>();
        auto &about = Runtime().Instance<Form_About>();
        for (const bool editorFirst : { true, false }) {
            const char *first = editorFirst ? "Form1" : "Form_About";
            platform::Form &last = editorFirst ? static_cast<platform::Form &>(about) : editor;
            const char *lastName = editorFirst ? "Form_About" : "Form1";
            editor.Show();
            about.Show();
            bool lastStillOpen = false;
            bool closedLast = false;
            QTimer::singleShot(0, [&] { Window(first)->close(); });
            QTimer::singleShot(100, [&] {
                lastStillOpen = last.Visible(); // the loop still runs: this timer fired
                closedLast = true;
                Window(lastName)->close();
            });
            QTimer::singleShot(5000, [] { QCoreApplication::exit(99); }); // a safety net only
            QCOMPARE(Runtime().Run(), 0);
            QVERIFY(lastStillOpen);
            QVERIFY(closedLast);
        }
    }
};

int main(int argc, char **argv)
{
    platform::Application application(argc, argv);
    TestFormAbout test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_form_about.moc"
