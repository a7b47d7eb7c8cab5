#pragma once

#include "design.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace platform {

// A child control of a form: its position in twips and its text.
class Control {
public:
    Control(QWidget *widget, const ControlDesign &design);

    // Setting moves the control at once; reading returns the value last set.
    float Left() const { return m_left; }
    float Top() const { return m_top; }
    void SetLeft(float twips);
    void SetTop(float twips);

    // A text box's contents, or the caption of any other control.
    std::string Text() const;
    void SetText(std::string_view text);

    QWidget *widget() const { return m_widget; }

private:
    void place();

    QWidget *m_widget;
    float m_left;
    float m_top;
};

// (Index, Button, Shift, X, Y): Button bits 1 left, 2 right, 4 middle; Shift bits 1 shift,
// 2 ctrl, 4 alt; X and Y in twips from the control's top-left corner.
using MouseMoveHandler
    = std::function<void(std::int16_t, std::int16_t, std::int16_t, float, float)>;

// Controls of one name, addressed by their index: Command1(5).
class ControlArray {
public:
    Control &operator()(int index) const;
    void add(int index, Control &control);

    void OnMouseMove(MouseMoveHandler handler) { m_mouseMove = std::move(handler); }
    const MouseMoveHandler &mouseMove() const { return m_mouseMove; }

private:
    std::vector<Control *> m_elements; // by index; null where no element exists
    MouseMoveHandler m_mouseMove;
};

} // namespace platform
