#pragma once

#include "design.h"

class QWidget;

namespace platform {

// Gives a placed control the look its design asks for: label colours, font, alignment and
// wrapping, a smaller indicator for option buttons, whose design leaves room for one digit, and a
// point size at which its text shows whole in its box with whatever face is installed.
void ApplyAppearance(QWidget *widget, const ControlDesign &design);

// Gives a form's client area the narrow face that its small controls inherit.
void ApplyClientAreaAppearance(QWidget *clientArea);

} // namespace platform
