// Pointer Events on a control array's element as the array's MouseMove.
#pragma once

#include "control.h"
#include "page.h"

namespace platform {

// Turns the pointer's moves over a control, hovering or while the control holds the capture after
// a press, into its array's MouseMove with that index: Button from the buttons held, Shift from
// the keys, X and Y in twips from the control's top-left corner. Mouse, pen and touch alike; of
// several fingers only the first counts. The array's handler outlives the control.
void ListenForMouseMoves(const page::val &element, const page::val &clientArea,
    const Control &control, const MouseMoveHandler &handler, int index);

} // namespace platform
