// A window built from its design: its controls, drawing on its client area, menu clicks.
#pragma once

#include "control.h"
#include "design.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

class QMainWindow;

namespace platform {

class Canvas;
class AccessibilityObserver;

// A top-level window built from a design: caption, an optional menu bar of items that raise
// Click, a client area in twips with its child controls, and drawing on that client area.
class Form {
public:
    explicit Form(const FormDesign &design);
    virtual ~Form();
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;

    // The Load event, raised once when the window is created, before it is shown.
    virtual void Form_Load() { }

    // Shows the window modeless and without owner; a shown window comes to the front.
    void Show();
    bool Visible() const;

    // Drawing in twips on the client area, beneath the controls. Lines are one pixel wide.
    void Cls(); // erases all drawing; the current position becomes (0, 0)
    void Line(float x1, float y1, float x2, float y2, Colour colour);
    void Line(float x2, float y2); // Line -(x2, y2): from the current position, foreground colour
    void PSet(float x, float y); // in the foreground colour

    // Both throw std::out_of_range for a name the design does not have.
    Control &Controls(std::string_view name);
    ControlArray &ControlArrays(std::string_view name);
    void OnClick(std::string_view menuItem, std::function<void()> handler);

private:
    void AddControls(const FormDesign &design);
    void Draw(float x1, float y1, float x2, float y2, Colour colour);
    void Describe(); // the design's accessible texts, handed to the toolkit's accessibility

    // By object name, "Text_x" or "Command1(5)", and arrays by name.
    std::map<std::string, Control> m_controls;
    std::map<std::string, ControlArray> m_arrays;
    // Goes first, its controls with it: their mouse-move filters refer to the control arrays.
    std::unique_ptr<QMainWindow> m_window;
    Canvas *m_canvas;
    Colour m_foreground;
    float m_currentX = 0;
    float m_currentY = 0;
    std::string_view m_description; // the window's accessible description
    std::unique_ptr<AccessibilityObserver> m_accessibility; // goes first, before the controls
};

} // namespace platform
