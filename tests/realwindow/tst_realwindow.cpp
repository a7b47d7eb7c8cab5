#include "initialcurve.h"
#include "realwindow.h"

#include <QTest>

#include <algorithm>
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

// The controls' design face is 8 points; the tests run at 96 dpi. A sans face's digits stand about
// 0.72 em high: two thirds of an em allows for hinting and antialiasing, and no more.
constexpr double DesignEm = 8.0 * 96 / 72;
constexpr int MinimumDigitHeight = static_cast<int>(DesignEm * 2 / 3);

// The height of the rightmost glyph's ink in a picture of a control (an option button's digit lies
// right of its indicator): the rightmost run of columns with dark pixels, from top row to bottom.
int DigitHeight(const QImage &control)
{
    // Darker than three quarters of white: small digits' antialiased strokes are grey.
    const auto ink = [&](int x, int y) { return control.pixelColor(x, y).value() < 192; };
    const auto inkIn = [&](int x) {
        for (int y = 0; y < control.height(); ++y)
            if (ink(x, y))
                return true;
        return false;
    };
    int right = control.width() - 1;
    while (right >= 0 && !inkIn(right))
        --right;
    int left = right;
    while (left > 0 && inkIn(left - 1))
        --left;
    int top = control.height();
    int bottom = -1;
    for (int y = 0; y < control.height(); ++y)
        for (int x = std::max(left, 0); x <= right; ++x)
            if (ink(x, y)) {
                top = std::min(top, y);
                bottom = y;
            }
    return std::max(bottom - top + 1, 0);
}

// The client area's top row in a picture of the whole window, or its height if none is found: the
// row where the index read-out's frame starts, the read-out lying at the client area's top edge.
// Right of the read-outs (which end at 9015 twips) lies only what spans the window's width, such as
// the menu bar's rows: the first row that differs there from a column across the read-out.
int ClientTop(const QImage &window)
{
    const int across = TextInd.x() + 16;
    const int beside = 9045 / 15;
    int top = 0;
    while (
        top < window.height() && window.pixelColor(across, top) == window.pixelColor(beside, top))
        ++top;
    return top;
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
        // Found in the picture, so that a client area of another size than the design's fails
        // only the check of its size.
        const QRect outer = program->geometry(window);
        const QImage whole = program->grabWhen(
            outer, [](const QImage &image) { return ClientTop(image) < image.height(); });
        QVERIFY(!whole.isNull());
        origin = outer.topLeft() + QPoint(0, ClientTop(whole));
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

    // Each marker's digit at the design's size, not shrunk to fit a style's wider margins.
    void markersShowTheirDigitsAtTheDesignSize()
    {
        program->click(screen(TextInd + QPoint(10, 8))); // no marker keeps a focus frame
        const QImage client = program->grabWhen(clientArea(), [](const QImage &image) {
            return HasColourNear(image, { 6142.5 / 15, 2782.5 / 15 }, Red);
        });
        QVERIFY(!client.isNull());
        QStringList small;
        for (std::size_t i = 0; i < InitialX.size(); ++i) {
            // Markers sit with their top-left corner on their point; the end points' option
            // buttons are 375 twips wide, the push buttons 255; all are 255 high. Inside the frame:
            const bool option = i == 0 || i == InitialX.size() - 1;
            const QRect marker(QPoint(int(InitialX[i]) / 15, int(InitialY[i]) / 15),
                QSize((option ? 375 : 255) / 15, 255 / 15));
            const int height = DigitHeight(client.copy(marker.adjusted(3, 3, -3, -3)));
            if (height < MinimumDigitHeight)
                small << QStringLiteral("%1: %2 px").arg(i).arg(height);
        }
        RealWindow::save(client, "markers.png");
        QVERIFY2(small.isEmpty(),
            qPrintable(QStringLiteral("digits under %1 px high (marker: ink height): %2")
                           .arg(MinimumDigitHeight)
                           .arg(small.join(", "))));
    }

    // The client area below the menu bar is the design's 9075 x 5415 twips.
    void clientAreaIsTheDesignSize()
    {
        const QImage whole = program->grab(program->geometry(window));
        QCOMPARE(
            QSize(whole.width(), whole.height() - ClientTop(whole)), QSize(9075 / 15, 5415 / 15));
    }
};

QTEST_MAIN(TestRealWindow)
#include "tst_realwindow.moc"
