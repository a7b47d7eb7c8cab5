// How controls look on the page: the element for each kind of control, and the design's own look.
#pragma once

#include "design.h"
#include "page.h"

#include <string>

namespace platform {

// A colour as CSS writes it: "#ff0000" for 0x000000FF.
std::string CssColour(Colour colour);

// The elements that stand for a control, appended to parent: the control itself, which is placed,
// and the part that takes the focus and carries the accessible name, and the one that holds its
// text (for an option button, its input and its caption; otherwise the control itself).
struct ControlElements {
    page::val control;
    page::val input;
    page::val text;
};
ControlElements CreateElements(const ControlDesign &design, const page::val &parent);

} // namespace platform
