// Mouse moves on controls as their arrays' MouseMove events; a lost capture repaired.
#pragma once

#include "control.h"

#include <QObject>

#include <cstdint>

class QWidget;

namespace platform {

// Turns the mouse moves a control receives, hovering or while it holds the capture after a press,
// into the MouseMove event of its control array. The control keeps its own behaviour.
class MouseMoveFilter : public QObject {
public:
    MouseMoveFilter(
        const MouseMoveHandler &handler, int index, const Control &control, QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const MouseMoveHandler &m_handler; // its array's, which outlives the control
    std::int16_t m_index;
    const Control &m_control; // its position, which a move may change
};

} // namespace platform
