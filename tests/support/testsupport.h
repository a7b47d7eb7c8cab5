#pragma once

#include "application.h"

#include <QImage>
#include <QMainWindow>
#include <QPointF>
#include <QTest>

#include <cstdint>

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

// Off-screen unless QT_QPA_PLATFORM says otherwise, so that a program needs no display; scaled
// by BEZIER7_SCALE where it is set (the toolkit's QT_SCALE_FACTOR).
void PrepareEnvironment();

// The seed of a randomized test: BEZIER7_SEED where it is set, to repeat a failed run, otherwise a
// new one each run. Printed, so that the log of a failed or crashed run carries it.
std::uint64_t Seed();

// A form's window, found by its object name ("Form1") among the top-level widgets, and its
// client area beneath the menu bar. Controls are its children by their object names.
QMainWindow *Window(const char *formName);
QWidget *ClientArea(const QMainWindow *window);
QWidget *Control(const QMainWindow *window, const char *name);
// A control's text: a text box's contents, or a button's or label's caption.
QString Text(const QMainWindow *window, const char *name);

// Twips per logical pixel on this screen, and device pixels per 15 twips: 1 at 96 dots per inch
// unscaled, 2 on a doubled display, 1.5 where the desktop asks for 144 dots per inch.
double TwipsPerPixel();
double Scale(const QWidget *window);
// A box in twips of the client area as a window places a control: on whole logical pixels.
QRect Placed(const QRectF &twips);

// The window as it last presented itself, controls included, at device resolution: its backing
// store once the pending update requests have run. Nothing is painted afresh for it.
QImage Screen(const QMainWindow *window);
// The client area's top-left corner in that image, and the device pixels a control takes there.
QPointF Origin(const QMainWindow *window);
QRect DeviceRect(const QMainWindow *window, const QWidget *control);

// The drawing alone: the window as it presents itself with its controls hidden for the moment,
// so that what lies beneath them shows.
QImage Picture(const QMainWindow *window);

// Empty if a control's text shows whole and legible as the window presents it; otherwise what is
// wrong. Its ink (the pixels that change when the text is taken away for a moment) keeps a pixel
// from the edges of a control with a frame, has the size it has in a box three times as large (so
// nothing of it is cut), and is at least as tall as the same text in the same face at
// `minimumPoints`.
QString IllegibleText(const QMainWindow *window, QWidget *control, double minimumPoints);

// Real mouse input through the application: presses, moves and releases delivered to the form's
// window as the window system's are, at whole logical pixels, with the buttons held tracked
// across calls. After each, the event loop runs unless told otherwise (the benchmark decides itself
// what runs per event).
class Pointer {
public:
    enum class EventLoop { Runs, Left };

    explicit Pointer(QMainWindow *window, EventLoop loop = EventLoop::Runs);
    ~Pointer(); // releases every button still held
    Pointer(const Pointer &) = delete;
    Pointer &operator=(const Pointer &) = delete;

    // To a point in twips of the client area.
    void moveTo(float xTwips, float yTwips, Qt::KeyboardModifiers modifiers = {});
    // Onto a control, at an offset in twips from its top-left corner.
    void moveOnto(
        const QWidget *control, float dxTwips, float dyTwips, Qt::KeyboardModifiers modifiers = {});
    void press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers = {});
    void release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers = {});

    // Where the pointer is, in logical pixels of the form's window, and the buttons it holds.
    QPoint at() const { return m_at; }
    Qt::MouseButtons held() const { return m_held; }

private:
    void moveBy(QPoint from, float dxTwips, float dyTwips, Qt::KeyboardModifiers modifiers);
    void send(QEvent::Type type, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

    QMainWindow *m_window;
    EventLoop m_loop;
    QPoint m_at { 1, 1 };
    Qt::MouseButtons m_held;
    int m_timestamp = 0;
};

} // namespace testsupport
