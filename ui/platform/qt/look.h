// How controls look: the widget for each kind, the compact style, faces and text fitting.
#pragma once

#include "design.h"

class QString;
class QWidget;

namespace platform {

// The widget that stands for a kind of control; a marker's shows its focus plainly.
QWidget *CreateWidget(
    ControlKind kind, const QString &caption, QWidget *parent, bool marker = false);

// The face and size that controls without a font of their own inherit from the client area.
void SetControlsFont(QWidget *clientArea);

// The look the design asks for, and a point size at which the text shows whole in the control's
// current geometry.
void ApplyLook(QWidget *widget, const ControlDesign &design);

} // namespace platform
