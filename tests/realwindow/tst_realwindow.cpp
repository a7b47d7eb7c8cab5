#include "initialcurve.h"
#include "realwindow.h"

#include <QTest>

#include <cmath>
#include <memory>

using testsupport::CurveAt;
using testsupport::HasColourNear;
using testsupport::InitialX;
using testsupport::InitialY;
using testsupport::RealWindow;
using namespace testsupport::editor;

namespace {

const QColor Red(255, 0, 0);
const QColor Black(0, 0, 0);

// A control's face differs from the background around it.
bool ControlAt(const QImage &client, QPoint corner)
{
    const QColor background = client.pixelColor(600, 350);
    return client.pixelColor(corner + QPoint(8, 3)) != background
        || client.pixelColor(corner + QPoint(3, 8)) != background;
}

} // namespace

class TestRealWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<RealWindow> program;
    QString window;
    QPoint origin; // the client area's top-left corner on the screen

    QRect clientArea() const { return { origin, Client }; }
    QPoint screen(QPoint client) const { return origin + client; }

private slots:
    void init()
    {
        program = std::make_unique<RealWindow>();
        window = program->waitForWindow(Caption);
        QVERIFY(!window.isEmpty());
        // Away from the screen's corner, so the pointer can go left of and above the window.
        RealWindow::run("xdotool", { "windowmove", "--sync", window, "200", "150" });
        origin = program->clientOrigin(window, Client.height());
    }

    void cleanup() { program.reset(); }

    void startsWithTheCurveAndItsTangents()
    {
        const QImage client = program->grabWhen(clientArea(), [](const QImage &image) {
            return HasColourNear(image, { 6142.5 / 15, 2782.5 / 15 }, Red);
        });
        QVERIFY(!client.isNull());
        RealWindow::save(program->grab(program->geometry(window)), "editor.png");
        for (double s : { 0.3, 0.5, 0.7, 0.9 }) {
            QVERIFY(HasColourNear(
                client, { (7455 + s * (4830 - 7455)) / 15, (2625 + s * 315) / 15 }, Red));
            QVERIFY(HasColourNear(
                client, { (7455 + s * (4830 - 7455)) / 15, (2310 - s * 420) / 15 }, Red));
        }
        for (double t : { 0.25, 0.5, 0.75 })
            QVERIFY(HasColourNear(client, CurveAt(InitialX, InitialY, t), Black));
        QVERIFY(ControlAt(client, Handle2));
    }

    void hoverShowsTheMarkersIndex()
    {
        program->mouseMove(screen(Handle4 + QPoint(6, 6)));
        QCOMPARE(program->readText(screen(TextInd + QPoint(10, 8))), QString("4"));
        QCOMPARE(program->readText(screen(TextX + QPoint(10, 8))), QString("x"));
    }

    void draggingMovesTheHandleAndReshapesTheCurve()
    {
        program->mouseMove(screen(Handle2 + QPoint(5, 5)));
        program->mouseDown(1);
        for (int step = 1; step <= 10; ++step)
            program->mouseMove(screen(Handle2 + QPoint(5 + 12 * step, 5 - 9 * step)));
        program->mouseUp(1);
        // The handle's top-left corner sits where the pointer was released.
        const QPoint corner = Handle2 + QPoint(125, -85);

        std::vector<float> x = InitialX;
        std::vector<float> y = InitialY;
        x[2] = float(corner.x() * 15);
        y[2] = float(corner.y() * 15);
        const QImage client = program->grabWhen(clientArea(), [&](const QImage &image) {
            return ControlAt(image, corner) && !ControlAt(image, Handle2);
        });
        QVERIFY(!client.isNull());
        RealWindow::save(program->grab(program->geometry(window)), "dragged.png");
        for (double t : { 0.25, 0.5, 0.75 })
            QVERIFY(HasColourNear(client, CurveAt(x, y, t), Black));
        QVERIFY(!HasColourNear(client, CurveAt(InitialX, InitialY, 0.5), Black));

        QCOMPARE(program->readText(screen(TextX + QPoint(10, 8))), QString("4500"));
        QCOMPARE(program->readText(screen(TextY + QPoint(10, 8))), QString("1875"));
        QCOMPARE(program->readText(screen(TextInd + QPoint(10, 8))), QString("2"));
    }

    void dragGoesOnPastTheWindowsEdgesAndBack()
    {
        program->mouseMove(screen(Handle4 + QPoint(4, 4)));
        program->mouseDown(1);
        program->mouseMove(screen({ 20, 20 }));
        program->mouseMove(screen({ -40, -25 })); // left of and above the window
        // The handle has left the client area with the pointer.
        QVERIFY(!program
                     ->grabWhen(clientArea(),
                         [](const QImage &image) {
                             return !ControlAt(image, Handle4) && !ControlAt(image, { 20, 20 });
                         })
                     .isNull());
        program->mouseMove(screen({ 100, 90 }));
        program->mouseUp(1);
        QVERIFY(!program
                     ->grabWhen(clientArea(),
                         [](const QImage &image) {
                             return ControlAt(image, { 100, 90 });
                         })
                     .isNull());
        QCOMPARE(program->readText(screen(TextX + QPoint(10, 8))), QString("1500"));
        QCOMPARE(program->readText(screen(TextY + QPoint(10, 8))), QString("1350"));
    }

    // P7's marker lies above the read-out it was dropped on, so it can be picked up there again.
    void markerDroppedOnAReadOutCanBeTakenOffAgain()
    {
        const QPoint onTextY = TextY + QPoint(20, 8);
        program->mouseMove(screen(Option7 + QPoint(4, 4)));
        program->mouseDown(1);
        program->mouseMove(screen(onTextY - QPoint(10, 10)));
        program->mouseMove(screen(onTextY));
        program->mouseUp(1);
        program->mouseDown(1);
        program->mouseMove(screen(onTextY + QPoint(-60, 30)));
        program->mouseMove(screen({ 460, 110 }));
        program->mouseUp(1);
        QCOMPARE(program->readText(screen(TextInd + QPoint(10, 8))), QString("7"));
        QCOMPARE(program->readText(screen(TextX + QPoint(10, 8))), QString("6900"));
        QCOMPARE(program->readText(screen(TextY + QPoint(10, 8))), QString("1650"));
    }

    // A press captures the mouse until the buttons are up, even when they came up while the
    // window was away: then the next move belongs to the marker under the pointer.
    void releaseWhileUnmappedEndsTheCapture()
    {
        program->mouseMove(screen(Handle2 + QPoint(5, 5)));
        program->mouseDown(1);
        RealWindow::run("xdotool", { "windowunmap", "--sync", window });
        program->mouseUp(1);
        RealWindow::run("xdotool", { "windowmap", "--sync", window });
        program->mouseMove(screen(Handle4 + QPoint(6, 6)));
        program->mouseMove(screen(Handle4 + QPoint(7, 6)));
        QCOMPARE(program->readText(screen(TextInd + QPoint(10, 8))), QString("4"));
    }

    void leftAndRightTogetherOnlyShowTheIndex()
    {
        program->mouseMove(screen(Handle6 + QPoint(5, 5)));
        program->mouseDown(1);
        program->mouseDown(3);
        for (int step = 1; step <= 5; ++step)
            program->mouseMove(screen(Handle6 + QPoint(5 + 10 * step, 5 + 10 * step)));
        program->mouseUp(3);
        program->mouseUp(1);
        QCOMPARE(program->readText(screen(TextInd + QPoint(10, 8))), QString("6"));
        QCOMPARE(program->readText(screen(TextX + QPoint(10, 8))), QString("x"));
        QVERIFY(ControlAt(program->grab(clientArea()), Handle6));
        QVERIFY(
            HasColourNear(program->grab(clientArea()), CurveAt(InitialX, InitialY, 0.75), Black));
    }
};

QTEST_MAIN(TestRealWindow)
#include "tst_realwindow.moc"
