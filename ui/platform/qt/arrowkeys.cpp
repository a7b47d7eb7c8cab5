#include "arrowkeys.h"

#include "units.h"

#include <QKeyEvent>
#include <QWidget>

namespace platform {

namespace {

// A step in pixels for an arrow key; none for any other key.
QPoint Direction(int key)
{
    switch (key) {
    case Qt::Key_Left:
        return { -1, 0 };
    case Qt::Key_Right:
        return { 1, 0 };
    case Qt::Key_Up:
        return { 0, -1 };
    case Qt::Key_Down:
        return { 0, 1 };
    default:
        return {};
    }
}

} // namespace

bool ArrowKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = static_cast<QWidget *>(watched);
    if (event->type() != QEvent::KeyPress || !Handled(watched))
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const QPoint direction = Direction(key->key());
    // The keypad's arrows carry a modifier of their own; Ctrl and Alt leave the key to the control.
    const Qt::KeyboardModifiers held = key->modifiers() & ~Qt::KeypadModifier;
    if (direction.isNull() || (held != Qt::NoModifier && held != Qt::ShiftModifier))
        return QObject::eventFilter(watched, event);

    // The keyboard is in use: the focus frame shows from now on, as after Tab.
    if (!widget->window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        widget->window()->setAttribute(Qt::WA_KeyboardFocusChange);
        widget->update();
    }
    const bool shift = held == Qt::ShiftModifier;
    const QPointF step = QPointF(direction * (shift ? 10 : 1)) * TwipsPerPixel();
    RaiseMouseMove(
        watched, 1, shift ? 1 : 0, static_cast<float>(step.x()), static_cast<float>(step.y()));
    return true;
}

} // namespace platform
