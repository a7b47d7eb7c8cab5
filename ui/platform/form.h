// A window built from its design: its controls, drawing on its client area, menu clicks.
#pragma once

#include "control.h"
#include "design.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A top-level window built from a design: caption, an optional menu bar of items that raise
// Click, a client area in twips with its child controls, and drawing on that client area.
class Form {
public:
    // The toolkit's side of the window: a desktop window, or the page and its elements.
    struct Peer;

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
    void Erase();
    // A segment, or a point where both ends are one; no colour is the window's foreground colour.
    void Stroke(float x1, float y1, float x2, float y2, std::optional<Colour> colour);

    // By object name, "Text_x" or "Command1(5)", and arrays by name.
    std::map<std::string, Control> m_controls;
    std::map<std::string, ControlArray> m_arrays;
    // Goes first, its controls with it: their mouse-move handlers refer to the control arrays.
    std::unique_ptr<Peer> m_peer;
    float m_currentX = 0;
    float m_currentY = 0;
};

} // namespace platform
