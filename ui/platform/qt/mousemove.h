// Mouse moves on controls as their arrays' MouseMove events; a lost capture repaired.
#pragma once

#include "control.h"

#include <QObject>

#include <cstdint>

class QWidget;

namespace platform {

// What the filters of a control array's element share: the array's MouseMove, raised for the
// element.
class ControlArrayFilter : public QObject {
protected:
    ControlArrayFilter(const MouseMoveHandler &handler, int index, QWidget *widget);

    bool Handled() const { return static_cast<bool>(m_handler); }
    void RaiseMouseMove(std::int16_t button, std::int16_t shift, float x, float y);

private:
    const MouseMoveHandler &m_handler; // its array's, which outlives the control
    std::int16_t m_index;
};

// Turns the mouse moves a control receives, hovering or while it holds the capture after a press,
// into the MouseMove event of its control array. The control keeps its own behaviour.
class MouseMoveFilter : public ControlArrayFilter {
public:
    MouseMoveFilter(const MouseMoveHandler &handler, int index, QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace platform
