// A control's elements on the page, as the forms layer's page files share them.
#pragma once

#include "control.h"
#include "page.h"

namespace platform {

struct Control::Peer {
    page::val element; // placed on the client area
    page::val style; // the element's, kept for the moves
    page::val input; // takes the focus and carries the accessible name
    page::val text; // holds the text
    bool textIsValue; // a text box's text is its value
};

} // namespace platform
