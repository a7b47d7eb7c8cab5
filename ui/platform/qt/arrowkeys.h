// Arrow keys on a marker as left-button mouse moves of its control array.
#pragma once

#include "mousemove.h"

namespace platform {

// Moves a marker by the keyboard through the same rule as a drag: each press of an arrow key, and
// each repeat of a held one, raises its array's MouseMove with Button 1 and X/Y the step in twips,
// one pixel, ten with Shift. Other keys keep the control's own behaviour; arrow keys no longer
// move the focus between sibling buttons.
class ArrowKeyFilter : public ControlArrayFilter {
public:
    explicit ArrowKeyFilter(QObject *parent)
        : ControlArrayFilter(parent)
    { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace platform
