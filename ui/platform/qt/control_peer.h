// A control's widget, as the forms layer's Qt files share it.
#pragma once

#include "control.h"

class QWidget;

namespace platform {

struct Control::Peer {
    QWidget *widget; // owned by its window
};

} // namespace platform
