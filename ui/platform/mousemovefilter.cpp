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
    if (event->type() == QEvent::MouseMove && m_array.mouseMove()) {
        const auto *move = static_cast<QMouseEvent *>(event);
        const QPointF at = move->position(); // relative to the control's top-left corner
        m_array.mouseMove()(m_index, ButtonBits(move->buttons()), ShiftBits(move->modifiers()),
            ToTwips(at.x()), ToTwips(at.y()));
    }
    return QObject::eventFilter(watched, event);
}

} // namespace platform
