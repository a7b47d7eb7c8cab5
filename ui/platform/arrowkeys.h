// Arrow keys on a marker as left-button mouse moves of its control array.
#pragma once

#include "control.h"

#include <QObject>

#include <cstdint>

class QWidget;

namespace platform {

// Moves a marker by the keyboard through the same rule as a drag: each press of an arrow key, and
// each repeat of a held one, raises its array's MouseMove with Button 1 and X/Y the step in twips,
// one pixel, ten with Shift. Other keys keep the control's own behaviour; arrow keys no longer
// move the focus between sibling buttons. Where the toolkit's accessibility cannot reach (the
// browser), the focus coming to the marker and its moves are announced.
class ArrowKeyFilter : public QObject {
public:
    ArrowKeyFilter(
        const MouseMoveHandler &handler, int index, const Control &control, QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const MouseMoveHandler &m_handler; // its array's, which outlives the control
    std::int16_t m_index;
    const Control &m_control; // its position, which a move may change
};

} // namespace platform
