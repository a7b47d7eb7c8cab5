#pragma once

#include "design.h"

class QWidget;

namespace platform {

// Gives a new control the look its design asks for: label colours, font, alignment and
// wrapping, and a smaller indicator for option buttons, whose design leaves room for one digit.
void ApplyAppearance(QWidget *widget, const ControlDesign &design);

// Makes a placed control's design text fit its box as its style lays it out: where the face that
// stands in for the design's is too wide or too tall, the point size goes down until it fits.
void FitText(QWidget *widget, const ControlDesign &design);

// Gives a form's client area the narrow face that its small controls inherit.
void ApplyClientAreaAppearance(QWidget *clientArea);

} // namespace platform
