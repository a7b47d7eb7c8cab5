#include "markerdrag.h"

#include "form.h"

#include <QCoreApplication>

namespace bench {

MarkerDrag::MarkerDrag(const platform::Form &form, const platform::Control &marker)
    : m_pointer(form, testsupport::Pointer::EventLoop::Left)
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

void Present(const platform::Form &form)
{
    QCoreApplication::sendPostedEvents(testsupport::Window(form), QEvent::UpdateRequest);
}

} // namespace bench
