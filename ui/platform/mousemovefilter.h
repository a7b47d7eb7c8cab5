#pragma once

#include "control.h"

#include <QObject>

class QMouseEvent;

#include <cstdint>

namespace platform {

// Turns the mouse moves a control receives, hovering or while it holds the capture after a
// press, into the MouseMove event of its control array. The control keeps its own behaviour.
class MouseMoveFilter : public QObject {
public:
    MouseMoveFilter(const ControlArray &array, std::int16_t index, QWidget *control);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static bool endsLostCapture(QWidget *control, const QMouseEvent &move);

    const ControlArray &m_array;
    std::int16_t m_index;
};

} // namespace platform
