#include "realwindow.h"

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

// A Lissajous figure through the left part of the client area, clear of the read-outs.
QPoint Figure(int event)
{
    const double t = event * 0.0123;
    return { 40 + static_cast<int>(std::lround(230 * (1 + std::sin(3 * t)))),
        30 + static_cast<int>(std::lround(150 * (1 + std::sin(2 * t + 0.5)))) };
}

} // namespace

// The program under a long drag and hovering in a real window, with real X input: it keeps
// answering, its read-outs end where the pointer did, and its memory stays where it was.
class TestSoak : public QObject {
    Q_OBJECT
private slots:
    void longDragLeavesTheProgramResponsiveWithFlatMemory()
    {
        RealWindow program;
        const QString window = program.waitForWindow(editor::Caption);
        QVERIFY(!window.isEmpty());
        RealWindow::run("xdotool", { "windowmove", "--sync", window, "200", "150" });
        const QPoint origin = program.clientOrigin(window, editor::Client.height());
        XConnection x;
        QVERIFY(x.isOpen());
        const auto answers = [&] { return x.ping(window); };

        bool set = false;
        const int dragEvents = qEnvironmentVariableIntValue("BEZIER7_SOAK_EVENTS", &set);
        const int drag = set ? dragEvents : DragEvents;
        QVERIFY(drag > BaselineAfter);

        // Handle 2 dragged along the figure, its top-left corner with the pointer.
        x.moveTo(origin + editor::Handle2 + QPoint(5, 5));
        x.button(1, true);
        qint64 baseline = -1;
        for (int event = 1; event <= drag; ++event) {
            // Each event answered before the next is sent: the program handles every one of them
            // rather than only the last of a queue.
            x.moveTo(origin + Figure(event));
            QVERIFY2(answers(), qPrintable(QStringLiteral("no answer at event %1").arg(event)));
            if (event == BaselineAfter)
                baseline = program.residentKiB();
        }
        const QPoint dropped(300, 250);
        x.moveTo(origin + dropped);
        x.button(1, false);
        QVERIFY(answers());

        // Hovering over the markers and the picture, ending on handle 4.
        for (int event = 1; event <= HoverEvents; ++event) {
            x.moveTo(origin + Figure(event * 7) + QPoint(0, 40));
            QVERIFY(answers());
        }
        x.moveTo(origin + editor::Handle4 + QPoint(6, 6));
        QVERIFY(answers());

        const qint64 resident = program.residentKiB();
        qInfo("resident memory: %lld KiB after %d events, %lld KiB after %d", baseline,
            BaselineAfter, resident, drag + HoverEvents + 2);
        QVERIFY(baseline > 0);
        QVERIFY2(resident - baseline <= AllowedGrowthKiB,
            qPrintable(QStringLiteral("resident memory grew from %1 KiB after %2 events to %3 KiB")
                           .arg(baseline)
                           .arg(BaselineAfter)
                           .arg(resident)));

        QCOMPARE(program.readText(origin + editor::TextInd + QPoint(10, 8)), QString("4"));
        QCOMPARE(program.readText(origin + editor::TextX + QPoint(10, 8)),
            QString::number(dropped.x() * 15));
        QCOMPARE(program.readText(origin + editor::TextY + QPoint(10, 8)),
            QString::number(dropped.y() * 15));

        // Closed as a window manager closes it, the program ends normally; in the check build
        // that includes finding no leaks.
        x.close(window);
        QCOMPARE(program.waitForExit(), 0);
    }
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
