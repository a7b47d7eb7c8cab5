// Controls and control arrays: position in twips, text, and the arrays' mouse moves.
#pragma once

#include "design.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// A child control of a form: its position in twips, its text, and what a screen reader is told of
// it, a marker's position included.
class Control {
public:
    // The toolkit's own control: a widget on the desktop, an element of the page in the browser.
    struct Peer;

    Control(std::unique_ptr<Peer> peer, const ControlDesign &design);
    ~Control();
    Control(const Control &) = delete;
    Control &operator=(const Control &) = delete;

    // Setting moves the control at once; reading returns the value last set.
    float Left() const { return m_left; }
    float Top() const { return m_top; }
    void SetLeft(float twips);
    void SetTop(float twips);

    // A text box's contents, or the caption of any other control.
    std::string Text() const;
    void SetText(std::string_view text);

    // What a screen reader calls it, from the design; empty takes its caption or text.
    std::string_view AccessibleName() const { return m_accessibleName; }
    // Where a marker stands, for a screen reader: "x 2625, y 1575 twips".
    std::string Position() const;
    // Hands the name and a marker's position to the toolkit's accessibility, which raises an event
    // for each. Only while an assistive technology listens: the form calls it once one starts, and
    // a marker's moves from then on.
    void Describe();

private:
    void DescribePosition();

    std::unique_ptr<Peer> m_peer;
    float m_left;
    float m_top;
    bool m_marker;
    std::string_view m_accessibleName;
};

// (Index, Button, Shift, X, Y): Button bits 1 left, 2 right, 4 middle; Shift bits 1 shift,
// 2 ctrl, 4 alt; X and Y in twips from the control's top-left corner.
using MouseMoveHandler
    = std::function<void(std::int16_t, std::int16_t, std::int16_t, float, float)>;

// Controls of one name, addressed by their index: Command1(5).
class ControlArray {
public:
    Control &operator()(int index) const { return *m_elements.at(index); }

    void OnMouseMove(MouseMoveHandler handler) { m_mouseMove = std::move(handler); }

private:
    friend class Form; // fills it as it builds the controls

    std::map<int, Control *> m_elements;
    MouseMoveHandler m_mouseMove;
};

} // namespace platform
