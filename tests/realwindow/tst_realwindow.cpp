#include "curvepicture.h"
#include "realwindow.h"

#include <QTest>

#include <algorithm>
#include <memory>

using namespace testsupport;

namespace {

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
    int top = control.height();
    int bottom = -1;
    for (int x = right; x >= 0 && inkIn(x); --x)
        for (int y = 0; y < control.height(); ++y)
            if (ink(x, y)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return std::max(bottom - top + 1, 0);
}

} // namespace

// The built program in a real window on X, driven with real input: what a person sees and reads.
class TestRealWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<RealWindow> program;
    QString window;
    QPoint origin; // the client area's top-left corner on the screen

    QRect clientArea() const
    {
        return { origin, QSize(Pixels(Client.width()), Pixels(Client.height())) };
    }
    QPoint screen(QPointF twips) const { return OnScreen(origin, twips); }
    QRect marker(int i) const
    {
        const QRectF box = MarkerBox(i, InitialX[i], InitialY[i]);
        return { screen(box.topLeft()), QSize(Pixels(box.width()), Pixels(box.height())) };
    }
    QString readOut(const QRectF &box) const { return program->readOut(origin, box); }

    // Waits until the client area shows the curve with marker i at `to` (twips), the others at
    // their start, and nothing else; tells what the last picture showed otherwise.
    QImage curveOver(std::size_t i = 0, QPointF to = { InitialX[0], InitialY[0] }) const
    {
        std::vector<float> x = InitialX;
        std::vector<float> y = InitialY;
        x[i] = static_cast<float>(to.x());
        y[i] = static_cast<float>(to.y());
        QString problem;
        QImage shown = program->grabWhen(clientArea(), [&](const QImage &image) {
            problem = CurveProblem(image, {}, 1, x, y);
            return problem.isEmpty();
        });
        if (shown.isNull())
            qWarning("%s", qPrintable(problem));
        return shown;
    }

private slots:
    void init()
    {
        program = std::make_unique<RealWindow>();
        window = program->waitForWindow(EditorCaption);
        QVERIFY(!window.isEmpty());
        // Away from the screen's corner, so the pointer can go left of and above the window.
        program->place(window, { 200, 150 });
        origin = program->clientOrigin(window);
    }

    void cleanup() { program.reset(); }

    // By keyboard alone: Tab goes from marker 5 to 4, the next in the design's tab order; an arrow
    // moves it a pixel (15 twips), ten with Shift, as a drag there would; Space moves nothing.
    void arrowKeysMoveTheFocusedMarker()
    {
        for (const char *key :
            { "Tab", "Right", "Right", "Down", "shift+Up", "shift+Right", "space" })
            program->key(key);
        const QImage moved = curveOver(4, { 1260 + 15 + 15 + 150, 1995 + 15 - 150 });
        QVERIFY(!moved.isNull());
        RealWindow::save(moved, "keyboard-move.png");
        QCOMPARE(readOut(TextInd), QString("4"));
        QCOMPARE(readOut(TextX), QString("1440"));
        QCOMPARE(readOut(TextY), QString("1860"));
    }

    // Tab brings the focus to marker 4, a push button, and Shift+Tab twice to marker 7, an option
    // button: each wears a frame that plainly changes more of its pixels than its outline has.
    void focusFrameShows()
    {
        const QImage start = curveOver(); // no frame before a key is pressed
        if (qEnvironmentVariableIsSet("BEZIER7_DARK"))
            QVERIFY(start.pixelColor(2, 2).value() < 64);
        for (const auto &[i, keys] : { std::pair(4, "Tab"), std::pair(7, "shift+Tab shift+Tab") }) {
            for (const QString &key : QString(keys).split(' '))
                program->key(key);
            const QRect box = marker(i);
            const QImage unfocused = start.copy(box.translated(-origin));
            const auto framed = [&](const QImage &focused) {
                int plain = 0; // changed in some channel by more than a fifth of its range
                for (int y = 0; y < focused.height(); ++y)
                    for (int x = 0; x < focused.width(); ++x) {
                        const QRgb a = focused.pixel(x, y);
                        const QRgb b = unfocused.pixel(x, y);
                        const int change = std::max({ std::abs(qRed(a) - qRed(b)),
                            std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b)) });
                        if (change > 51)
                            ++plain;
                    }
                return plain > 2 * (box.width() + box.height());
            };
            QVERIFY2(!program->grabWhen(box, framed).isNull(), qPrintable(QString::number(i)));
            const QRect around = box.adjusted(-17, -17, 17, 17);
            RealWindow::save(program->grab(around).scaled(around.size() * 4),
                QStringLiteral("focus-%1.png").arg(i));
        }
    }

    void startsWithTheCurveAndItsTangents()
    {
        QVERIFY(!curveOver().isNull());
        RealWindow::save(program->grab(program->geometry(window)), "editor.png");
    }

    void draggingMovesTheHandleAndReshapesTheCurve()
    {
        program->mouseMove(screen({ 2625 + 75, 3150 + 75 }));
        program->mouseDown(1);
        for (int step = 1; step <= 10; ++step)
            program->mouseMove(screen(QPointF(2625 + 75 + 180 * step, 3150 + 75 - 135 * step)));
        program->mouseUp(1);
        // The handle's top-left corner sits where the pointer was released.
        QVERIFY(!curveOver(2, { 2625 + 75 + 1800, 3150 + 75 - 1350 }).isNull());
        RealWindow::save(program->grab(program->geometry(window)), "dragged.png");
        QCOMPARE(readOut(TextX), QString("4500"));
        QCOMPARE(readOut(TextY), QString("1875"));
        QCOMPARE(readOut(TextInd), QString("2"));
    }

    // A press captures the mouse until the buttons are up, even when they came up while the
    // window was away: then the next move belongs to the marker under the pointer.
    void releaseWhileUnmappedEndsTheCapture()
    {
        program->mouseMove(screen({ 2625 + 75, 3150 + 75 }));
        program->mouseDown(1);
        RealWindow::run("xdotool", { "windowunmap", "--sync", window });
        program->mouseUp(1);
        RealWindow::run("xdotool", { "windowmap", "--sync", window });
        program->mouseMove(screen({ 1260 + 90, 1995 + 90 }));
        program->mouseMove(screen({ 1260 + 105, 1995 + 90 }));
        QCOMPARE(readOut(TextInd), QString("4"));
    }

    // The client area below the menu bar is the design's 9075 x 5415 twips, and each marker's digit
    // at the design's size, not shrunk to fit a style's wider margins.
    void markersShowTheirDigitsAtTheDesignSize()
    {
        const QRect outer = program->geometry(window);
        QCOMPARE(QSize(outer.width(), outer.bottom() + 1 - origin.y()), clientArea().size());
        program->click(screen(TextInd.topLeft()) + QPoint(10, 8)); // no marker keeps a focus frame
        const QImage client = curveOver();
        QVERIFY(!client.isNull());
        QStringList small;
        for (int i = 0; i < 8; ++i) {
            const QRect inside = marker(i).translated(-origin).adjusted(3, 3, -3, -3); // the frame
            const int height = DigitHeight(client.copy(inside));
            if (height < MinimumDigitHeight)
                small << QStringLiteral("%1: %2 px").arg(i).arg(height);
        }
        RealWindow::save(client, "markers.png");
        QVERIFY2(small.isEmpty(),
            qPrintable(QStringLiteral("digits under %1 px high (marker: ink height): %2")
                           .arg(MinimumDigitHeight)
                           .arg(small.join(", "))));
    }
};

QTEST_MAIN(TestRealWindow)
#include "tst_realwindow.moc"
