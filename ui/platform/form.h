#pragma once

#include <QRgb>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

class QMainWindow;
class QWidget;

namespace testsupport {
class FormAccess;
}

namespace platform {

class Canvas;

// A colour laid out as 0x00BBGGRR: red in the lowest byte.
using Colour = std::uint32_t;

enum class ControlKind { OptionButton, PushButton, TextBox, Label };

struct FontDesign {
    std::string_view face;
    double points = 0;
    int weight = 400; // 400 normal, 700 bold
};

// One control of a window's design. Geometry is in twips of the client area.
struct ControlDesign {
    ControlKind kind;
    std::string_view name;
    int index = -1; // element of the control array `name`; -1 for a single control
    std::string_view caption; // caption or initial text
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    int tabIndex = 0;
    // Labels only; an unset value takes the platform default.
    bool centred = false;
    bool wordWrap = false;
    std::optional<Colour> foreColor {};
    std::optional<Colour> backColor {};
    std::optional<FontDesign> font {};
};

// A top-level menu item that raises Click when chosen; it has no submenu.
struct MenuItemDesign {
    std::string_view name;
    std::string_view caption;
};

struct FormDesign {
    std::string_view caption;
    float clientWidth = 0; // twips
    float clientHeight = 0;
    std::optional<Colour> backColor {};
    std::span<const MenuItemDesign> menu {};
    std::span<const ControlDesign> controls {}; // in creation order
};

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
    Control &operator()(int index) const { return *m_elements.at(index); }

    void OnMouseMove(MouseMoveHandler handler) { m_mouseMove = std::move(handler); }
    const MouseMoveHandler &mouseMove() const { return m_mouseMove; }

private:
    friend class Form;

    std::map<int, Control *> m_elements;
    MouseMoveHandler m_mouseMove;
};

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
    Control &control(std::string_view name);
    ControlArray &controlArray(std::string_view name);
    void OnClick(std::string_view menuItem, std::function<void()> handler);

private:
    friend class testsupport::FormAccess; // the tests' way to the toolkit's widgets

    void addControls(const FormDesign &design);
    void draw(float x1, float y1, float x2, float y2, QRgb colour);

    // By object name, "Text_x" or "Command1(5)", and arrays by name.
    std::map<std::string, Control> m_controls;
    std::map<std::string, ControlArray> m_arrays;
    // Goes first, its controls with it: their mouse-move filters refer to the control arrays.
    std::unique_ptr<QMainWindow> m_window;
    Canvas *m_canvas;
    QRgb m_foreground;
    float m_currentX = 0;
    float m_currentY = 0;
};

} // namespace platform
