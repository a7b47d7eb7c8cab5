#pragma once

#include "testsupport.h"

#include <QPointF>

#include <array>

namespace bench {

// Drags one marker of a form with the left button, through the application as the window system
// does, without running the event loop: a case decides itself what else happens per event. The
// press is near the marker's centre; the moves alternate between there and the marker's top-left
// corner, which the marker follows, so every move really moves it and an even number of moves
// brings it back.
class MarkerDrag {
public:
    MarkerDrag(QMainWindow *window, const platform::Control &marker);

    void step();

private:
    testsupport::Pointer m_pointer; // releases the button when the drag ends
    std::array<QPointF, 2> m_places; // near the centre, top-left corner; twips
    std::size_t m_next = 0; // the place of the next move
};

// What the event loop does after a drag event: delivers the window's update request, which
// repaints every changed region into the window's backing store and flushes it.
void Present(QMainWindow *window);

} // namespace bench
