#pragma once

#include <QEvent>
#include <QPoint>

#include <array>

class QWindow;

namespace platform {
class Control;
class Form;
} // namespace platform

namespace bench {

// Drags one marker of a form with the left button. Events go through the application to the
// window's handle, as the window system's do, but without running the event loop, so a case
// decides itself what else happens per event. The press is at the marker's centre; the moves
// alternate between that centre and the marker's top-left corner, which the marker follows,
// so every move really moves it and an even number of moves brings it back.
class MarkerDrag {
public:
    MarkerDrag(const platform::Form &form, const platform::Control &marker);
    ~MarkerDrag(); // releases the button
    MarkerDrag(const MarkerDrag &) = delete;
    MarkerDrag &operator=(const MarkerDrag &) = delete;

    void step();

private:
    void send(QEvent::Type type, QPoint at, Qt::MouseButtons buttons);

    QWindow *m_window;
    std::array<QPoint, 2> m_positions; // centre, top-left corner; window coordinates
    QPoint m_at;
    std::size_t m_next = 0; // the position of the next move
};

// What the event loop does after a drag event: delivers the window's update request, which
// repaints every changed region into the window's backing store and flushes it.
void Present(const platform::Form &form);

// The process's resident memory, in bytes.
long long ResidentBytes();

} // namespace bench
