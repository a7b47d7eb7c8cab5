#include "realwindow.h"

#include "testdesign.h"

#include <QTest>

#include <cmath>

using namespace testsupport;

namespace {

// How many motion events the drag and the hovering after it send; BEZIER7_SOAK_EVENTS changes
// the drag's for a longer soak.
constexpr int DragEvents = 20000;
constexpr int HoverEvents = 2000;
constexpr int BaselineAfter = 1000; // events, once the program's caches are warm
constexpr qint64 AllowedGrowthKiB = 1024;

// A Lissajous figure through the left part of the client area, clear of the read-outs, and past
// the window's left and top edges.
QPoint Figure(int event)
{
    const double t = event * 0.0123;
    return { -60 + static_cast<int>(std::lround(280 * (1 + std::sin(3 * t)))),
        -40 + static_cast<int>(std::lround(185 * (1 + std::sin(2 * t + 0.5)))) };
}

} // namespace

// The program under a long drag and hovering in a real window, with real X input: it keeps
// answering, its read-outs end where the pointer did, and its memory stays where it was. The drag
// goes on past the window's edges and back; the marker dropped on a read-out lies above it, and
// is taken off again there and dropped left of and above the window.
class TestSoak : public QObject {
    Q_OBJECT
private slots:
    void longDragLeavesTheProgramResponsiveWithFlatMemory()
    {
        RealWindow program;
        const QString window = program.waitForWindow(EditorCaption);
        QVERIFY(!window.isEmpty());
        program.place(window, { 200, 150 });
        const QPoint origin = program.clientOrigin(window);

        bool set = false;
        const int dragEvents = qEnvironmentVariableIntValue("BEZIER7_SOAK_EVENTS", &set);
        const int drag = set ? dragEvents : DragEvents;
        QVERIFY(drag > BaselineAfter);

        // Handle 2 dragged along the figure, its top-left corner with the pointer. Each event is
        // answered before the next is sent: the program handles every one of them rather than
        // only the last of a queue.
        program.mouseMove(OnScreen(origin, { InitialX[2] + 75, InitialY[2] + 75 }));
        program.mouseDown(1);
        qint64 baseline = -1;
        for (int event = 1; event <= drag && !QTest::currentTestFailed(); ++event) {
            program.mouseMove(origin + Figure(event));
            if (event == BaselineAfter)
                baseline = program.residentKiB();
        }
        const QPointF onTextY = TextY.topLeft() + QPointF(300, 120);
        program.mouseMove(OnScreen(origin, onTextY));
        program.mouseUp(1);

        // Hovering over the markers and the picture, ending on handle 4.
        for (int event = 1; event <= HoverEvents && !QTest::currentTestFailed(); ++event)
            program.mouseMove(origin + Figure(event * 7) + QPoint(0, 40));
        program.mouseMove(OnScreen(origin, { InitialX[4] + 90, InitialY[4] + 90 }));
        program.mouseMove(OnScreen(origin, onTextY + QPointF(90, 90)));
        program.mouseDown(1);
        program.mouseMove(OnScreen(origin, onTextY + QPointF(-900, 450)));
        program.mouseMove(OnScreen(origin, { -600, -375 }));
        program.mouseUp(1);
        QVERIFY(!QTest::currentTestFailed());

        const qint64 resident = program.residentKiB();
        qInfo("resident memory: %lld KiB after %d events, %lld KiB after %d", baseline,
            BaselineAfter, resident, drag + HoverEvents + 2);
        QVERIFY(baseline > 0);
        QVERIFY2(resident - baseline <= AllowedGrowthKiB,
            qPrintable(QStringLiteral("resident memory grew from %1 KiB after %2 events to %3 KiB")
                           .arg(baseline)
                           .arg(BaselineAfter)
                           .arg(resident)));

        QCOMPARE(program.readOut(origin, TextInd), QString("2"));
        QCOMPARE(program.readOut(origin, TextX), QString("-600"));
        QCOMPARE(program.readOut(origin, TextY), QString("-375"));

        // Closed as a window manager closes it, the program ends normally; in the check build
        // that includes finding no leaks.
        program.close(window);
        QCOMPARE(program.waitForExit(), 0);
    }
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
