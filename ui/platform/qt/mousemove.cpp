#include "mousemove.h"

#include "units.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

// A press captures the mouse until the buttons are released. A release the window never saw (it
// came while the window was minimised or unmapped) leaves the toolkit sending moves to the pressed
// control; the first such move with no button held, away from the control, ends the capture with
// that release and goes again to whatever lies under the pointer.
bool EndsLostCapture(QWidget *control, const QMouseEvent &move)
{
    QWindow *window = control->window()->windowHandle();
    if (!move.spontaneous() || move.buttons() != Qt::NoButton
        || control->rect().contains(move.position().toPoint()) || window == nullptr)
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

} // namespace

ControlArrayFilter::ControlArrayFilter(QObject *parent)
    : QObject(parent)
{ }

void ControlArrayFilter::Watch(QWidget *widget, const MouseMoveHandler &handler, int index)
{
    m_elements[widget] = { &handler, static_cast<std::int16_t>(index) };
    widget->installEventFilter(this);
}

bool ControlArrayFilter::Handled(const QObject *watched) const
{
    const auto element = m_elements.find(watched);
    return element != m_elements.end() && *element->second.handler;
}

void ControlArrayFilter::RaiseMouseMove(
    const QObject *watched, std::int16_t button, std::int16_t shift, float x, float y) const
{
    const Element &element = m_elements.at(watched);
    (*element.handler)(element.index, button, shift, x, y);
}

void MouseMoveFilter::Watch(QWidget *widget, const MouseMoveHandler &handler, int index)
{
    ControlArrayFilter::Watch(widget, handler, index);
    widget->setMouseTracking(true); // hover moves too, not only those with a button held
}

bool MouseMoveFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseMove || !Handled(watched))
        return QObject::eventFilter(watched, event);
    const auto *move = static_cast<QMouseEvent *>(event);
    auto *control = static_cast<QWidget *>(watched);
    if (EndsLostCapture(control, *move))
        return true;
    // Qt's button flags are the event's bits (left 1, right 2, middle 4), and its shift, ctrl and
    // alt flags lie in that order upwards from the shift flag.
    constexpr auto Buttons = Qt::LeftButton | Qt::RightButton | Qt::MiddleButton;
    constexpr auto Keys = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    const auto button = static_cast<std::int16_t>((move->buttons() & Buttons).toInt());
    const auto shift
        = static_cast<std::int16_t>((move->modifiers() & Keys).toInt() / Qt::ShiftModifier);
    const QPoint before = control->pos();
    const QPointF at = move->position() * TwipsPerPixel(); // from the control's top-left corner
    RaiseMouseMove(watched, button, shift, static_cast<float>(at.x()), static_cast<float>(at.y()));
    // A control the handler moved has left the position the event was measured from: passing it
    // on would make a pressed button judge the pointer by a stale position (and repaint itself as
    // released and pressed again while dragged). Its press and release stay its own.
    return control->pos() != before;
}

} // namespace platform
