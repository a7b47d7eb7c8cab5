// Arrow keys on a marker as left-button mouse moves of its control array.
#pragma once

#include "control.h"
#include "page.h"

namespace platform {

// Moves a marker by the keyboard through the same rule as a drag: each press of an arrow key, and
// each repeat of a held one, raises its array's MouseMove with Button 1 and X/Y the step in twips,
// one pixel, ten with Shift. Other keys, and arrows with Ctrl, Alt or Meta, keep the element's own
// behaviour; arrow keys no longer move the choice between option buttons.
void ListenForArrowKeys(const page::val &input, const MouseMoveHandler &handler, int index);

} // namespace platform
