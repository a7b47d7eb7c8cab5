#include "form1design.h"

namespace {

using platform::ControlDesign;
using platform::ControlKind;

constexpr platform::MenuItemDesign Menu[] = {
    { .name = "Mn_About", .caption = "About" },
};

// In creation order. Geometry in twips: Left, Top, Width, Height; the last field is the tab index.
constexpr ControlDesign Controls[] = {
    { ControlKind::OptionButton, "Option1", 7, "7", 7455, 2310, 375, 255, 10 },
    { ControlKind::OptionButton, "Option1", 0, "0", 7455, 2625, 375, 255, 9 },
    { ControlKind::PushButton, "Command1", 6, "6", 4830, 1890, 255, 255, 8 },
    { ControlKind::TextBox, "Text_Ind", -1, "Index", 8160, 0, 495, 285, 7 },
    { ControlKind::TextBox, "Text_y", -1, "y", 8160, 720, 855, 285, 6 },
    { ControlKind::TextBox, "Text_x", -1, "x", 8160, 360, 855, 285, 5 },
    { ControlKind::PushButton, "Command1", 1, "1", 4830, 2940, 255, 255, 4 },
    { ControlKind::PushButton, "Command1", 2, "2", 2625, 3150, 255, 255, 3 },
    { ControlKind::PushButton, "Command1", 3, "3", 1260, 2835, 255, 255, 2 },
    { ControlKind::PushButton, "Command1", 4, "4", 1260, 1995, 255, 255, 1 },
    { ControlKind::PushButton, "Command1", 5, "5", 2625, 1575, 255, 255, 0 },
};

} // namespace

const platform::FormDesign &Form1Design()
{
    static const platform::FormDesign design {
        .caption = "Bezier curve with 7 points",
        .clientWidth = 9075,
        .clientHeight = 5415,
        .backColor = std::nullopt,
        .menu = Menu,
        .controls = Controls,
    };
    return design;
}
