#include "mousemovefilter.h"

#include "units.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

// Button bits 1 left, 2 right, 4 middle.
std::int16_t ButtonBits(Qt::MouseButtons buttons)
{
    return static_cast<std::int16_t>((buttons.testFlag(Qt::LeftButton) ? 1 : 0)
        | (buttons.testFlag(Qt::RightButton) ? 2 : 0)
        | (buttons.testFlag(Qt::MiddleButton) ? 4 : 0));
}

// Shift bits 1 shift, 2 ctrl, 4 alt.
std::int16_t ShiftBits(Qt::KeyboardModifiers keys)
{
    return static_cast<std::int16_t>((keys.testFlag(Qt::ShiftModifier) ? 1 : 0)
        | (keys.testFlag(Qt::ControlModifier) ? 2 : 0) | (keys.testFlag(Qt::AltModifier) ? 4 : 0));
}

} // namespace

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
    auto *control = static_cast<QWidget *>(watched);
    if (endsLostCapture(control, *move))
        return true;
    const QPoint before = control->pos();
    const QPointF at = move->position(); // relative to the control's top-left corner
    m_array.mouseMove()(m_index, ButtonBits(move->buttons()), ShiftBits(move->modifiers()),
        ToTwips(at.x()), ToTwips(at.y()));
    // A control the handler moved has left the position the event was measured from: passing it
    // on would make a pressed button judge the pointer by a stale position (and repaint itself
    // as released and pressed again while dragged). Its press and release stay its own.
    return control->pos() != before;
}

bool MouseMoveFilter::endsLostCapture(QWidget *control, const QMouseEvent &move)
{
    // A press captures the mouse until the buttons are released. A release the window never saw
    // (it came while the window was minimised or unmapped) leaves the toolkit sending moves to the
    // pressed control; the first such move with no button held, away from the control, ends the
    // capture with that release and goes again to whatever lies under the pointer.
    if (!move.spontaneous() || move.buttons() != Qt::NoButton
        || control->rect().contains(move.position().toPoint()))
        return false;
    QWindow *window = control->window()->windowHandle();
    if (!window)
        return false;
    const QPointF at = window->mapFromGlobal(move.globalPosition());
    QMouseEvent release(QEvent::MouseButtonRelease, at, move.globalPosition(), Qt::LeftButton,
        Qt::NoButton, move.modifiers());
    QCoreApplication::sendEvent(window, &release);
    QMouseEvent again(
        QEvent::MouseMove, at, move.globalPosition(), Qt::NoButton, Qt::NoButton, move.modifiers());
    QCoreApplication::sendEvent(window, &again);
    return true;
}

} // namespace platform
