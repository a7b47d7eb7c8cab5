// Windows' designs as data: the tables that the layer turns into windows and widgets.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace platform {

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
    std::string_view name;
    ControlKind kind;
    int index = -1; // element of the control array `name`; -1 for a single control
    std::string_view caption; // caption or initial text
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    int tabIndex = 0;
    // A marker stands for a point the user moves (an element of a control array): the arrow keys
    // move it as the left button drags it, and its accessible description says where it stands.
    bool marker = false;
    // Labels only; an unset value takes the platform default.
    bool centred = false;
    bool wordWrap = false;
    std::optional<Colour> foreColor {};
    std::optional<Colour> backColor {};
    std::optional<FontDesign> font {};
    // What a screen reader calls it; unset, its caption or text.
    std::string_view accessibleName {};
};

// A top-level menu item that raises Click when chosen; it has no submenu.
struct MenuItemDesign {
    std::string_view name;
    std::string_view caption;
};

struct FormDesign {
    std::string_view name; // the window's object name: "Form1"
    std::string_view caption;
    float clientWidth = 0; // twips
    float clientHeight = 0;
    std::optional<Colour> backColor {};
    std::span<const MenuItemDesign> menu {};
    std::span<const ControlDesign> controls {}; // in creation order
    std::string_view accessibleDescription {}; // what a screen reader says the window shows
};

} // namespace platform
