#include "mousemovefilter.h"

#include "units.h"

#include <QMouseEvent>
#include <QWidget>

namespace platform {

MouseMoveFilter::MouseMoveFilter(const ControlArray &array, std::int16_t index, QWidget *control)
    : QObject(control)
    , m_array(array)
    , m_index(index)
{
    control->setMouseTracking(true); // hover moves too, not only those with a button held
    control->installEventFilter(this);
}

bool MouseMoveFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseMove || !m_array.mouseMove())
        return QObject::eventFilter(watched, event);
    const auto *move = static_cast<QMouseEvent *>(event);
    const auto *control = static_cast<QWidget *>(watched);
    const QPoint before = control->pos();
    const QPointF at = move->position(); // relative to the control's top-left corner
    m_array.mouseMove()(m_index, ButtonBits(move->buttons()), ShiftBits(move->modifiers()),
        ToTwips(at.x()), ToTwips(at.y()));
    // A control the handler moved has left the position the event was measured from: passing it
    // on would make a pressed button judge the pointer by a stale position (and repaint itself
    // as released and pressed again while dragged). Its press and release stay its own.
    return control->pos() != before;
}

} // namespace platform
