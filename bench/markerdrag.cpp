#include "markerdrag.h"

#include "form.h"

#include <QMainWindow>

#include <QCoreApplication>

namespace bench {

MarkerDrag::MarkerDrag(QMainWindow *window, const platform::Control &marker)
    : m_pointer(window, testsupport::Pointer::EventLoop::Left)
    , m_places { QPointF(marker.Left() + 120, marker.Top() + 120),
        QPointF(marker.Left(), marker.Top()) }
{
    m_pointer.moveTo(static_cast<float>(m_places[0].x()), static_cast<float>(m_places[0].y()));
    m_pointer.press(Qt::LeftButton);
}

void MarkerDrag::step()
{
    const QPointF place = m_places[m_next];
    m_next = 1 - m_next;
    m_pointer.moveTo(static_cast<float>(place.x()), static_cast<float>(place.y()));
}

void Present(QMainWindow *window)
{
    QCoreApplication::sendPostedEvents(window, QEvent::UpdateRequest);
}

} // namespace bench
