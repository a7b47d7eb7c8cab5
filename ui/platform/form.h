#pragma once

#include "control.h"
#include "design.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QMainWindow;

namespace testsupport {
class FormAccess;
}

namespace platform {

class Canvas;

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

    Control &control(std::string_view name) const;
    ControlArray &controlArray(std::string_view name) const;
    void OnClick(std::string_view menuItem, std::function<void()> handler);

private:
    friend class testsupport::FormAccess; // the tests' way to the toolkit's widgets

    void addMenu(const FormDesign &design);
    void addControls(const FormDesign &design);

    std::unique_ptr<QMainWindow> m_window;
    Canvas *m_canvas;
    float m_currentX = 0;
    float m_currentY = 0;
    std::vector<std::unique_ptr<Control>> m_controls; // in creation order
    std::map<std::string, Control *, std::less<>> m_singles;
    std::map<std::string, std::unique_ptr<ControlArray>, std::less<>> m_arrays;
};

} // namespace platform
