#pragma once

#include "design.h"

class QWidget;

namespace platform {

// Gives a new control the look its design asks for: label colours, font, alignment and
// wrapping, and a compact look for controls whose design size is smaller than the platform
// style's margins allow for their text.
void ApplyAppearance(QWidget *widget, const ControlDesign &design);

} // namespace platform
