#pragma once

#include "application.h"
#include "units.h"

#include <QImage>
#include <QList>
#include <QMainWindow>
#include <QPair>
#include <QPoint>
#include <QStringList>
#include <QTest>

#include <cstdint>
#include <vector>

// Qt Test's main for the tests and the benchmark, with the forms runtime in place of a bare
// QApplication, set up first by PrepareEnvironment.
#define BEZIER7_TEST_MAIN(TestClass)                                                               \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        testsupport::PrepareEnvironment();                                                         \
        platform::Application application(argc, argv);                                             \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

namespace testsupport {

// A form's window, found by its object name ("Form1") among the top-level widgets, and its
// client area beneath the menu bar. Controls are its children by their object names.
QMainWindow *Window(const char *formName);
QWidget *ClientArea(const QMainWindow *window);
QWidget *Control(const QMainWindow *window, const char *name);

// Off-screen unless QT_QPA_PLATFORM says otherwise, so that a program needs no display; scaled
// by BEZIER7_SCALE where it is set (the toolkit's QT_SCALE_FACTOR).
void PrepareEnvironment();

// The seed of a randomized test: BEZIER7_SEED where it is set, to repeat a failed run, otherwise a
// new one each run. Printed, so that the log of a failed or crashed run carries it.
std::uint64_t Seed();

// The client area as the window last presented it, controls included, at device resolution: its
// backing store once the pending update requests have run. Nothing is painted afresh for it.
QImage Screen(const QMainWindow *window);

// The drawing alone: the client area as the window presents it with its controls hidden for the
// moment, so that what lies beneath them shows.
QImage Picture(const QMainWindow *window);

// Empty if a control's text shows whole and legible as the window presents it; otherwise what is
// wrong. Its ink (the pixels that change when the text is taken away for a moment) keeps a pixel
// from the edges of a control with a frame, has the size it has in a box three times as large (so nothing of it
// is cut), and is at least as tall as the same text in the same face at `minimumPoints`.
QString IllegibleText(const QMainWindow *window, QWidget *control, double minimumPoints);

// A point in twips of the client area, in device pixels of an image of it.
QPoint DevicePixel(const QImage &image, float xTwips, float yTwips);

// Whether a pixel within `radius` device pixels of the point in twips has exactly `colour`.
bool HasColourNear(const QImage &image, float xTwips, float yTwips, QColor colour, int radius = 1);

int CountColour(const QImage &image, QColor colour);

// Checks that the client area as presented has no stray ink: every pixel that is not background
// lies within two device pixels of the red tangents P0-P1 and P7-P6 or of the 101-sample polyline
// over the control points (twips), or under a control (or the device pixel around it, which a
// control may cover at fractional scale factors). Empty if so; else the first stray pixel.
QString StrayInk(
    const QMainWindow *window, const std::vector<float> &x, const std::vector<float> &y);

// The form's foreground (drawing) and background colours.
QColor Foreground(const QWidget *window);
QColor Background(const QWidget *window);

// Real mouse input through the application: presses, moves and releases delivered to the form's
// window as the window system's are, with the buttons held tracked across calls. After each, the
// event loop runs unless told otherwise (the benchmark decides itself what runs per event).
class Pointer {
public:
    enum class EventLoop { Runs, Left };

    explicit Pointer(QMainWindow *window, EventLoop loop = EventLoop::Runs);
    ~Pointer(); // releases every button still held
    Pointer(const Pointer &) = delete;
    Pointer &operator=(const Pointer &) = delete;

    // Moves the pointer to a point in twips of the client area.
    void moveTo(float xTwips, float yTwips, Qt::KeyboardModifiers modifiers = {});
    // Moves the pointer onto a control, at an offset in twips from its top-left corner.
    void moveOnto(
        const QWidget *control, float dxTwips, float dyTwips, Qt::KeyboardModifiers modifiers = {});
    void press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers = {});
    void release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers = {});

    // Where the pointer is, in the form's window, and the buttons it holds.
    QPoint at() const { return m_at; }
    Qt::MouseButtons held() const { return m_held; }

private:
    static QPoint Pixels(float xTwips, float yTwips);
    void send(QEvent::Type type, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

    QMainWindow *m_window;
    EventLoop m_loop;
    QPoint m_at { 1, 1 };
    Qt::MouseButtons m_held;
    int m_timestamp = 0;
};

// Runs this test program again with only the named test functions, its environment changed by
// `changes` (name, value). Records a failure with the run's output unless it passes.
bool RunAgain(const QStringList &functions, const QList<QPair<QString, QString>> &changes);

// Writes into `folder` a fontconfig configuration that offers only the named files of the
// system's DejaVu faces, and returns its path, for FONTCONFIG_FILE.
QString FontConfigOffering(const QString &folder, const QStringList &dejaVuFiles);

} // namespace testsupport
