#include "form1design.h"

namespace {

using platform::ControlDesign;
using enum platform::ControlKind;

constexpr platform::MenuItemDesign Menu[] = {
    { .name = "Mn_About", .caption = "About" },
};

// In creation order; geometry in twips.
// clang-format off
constexpr ControlDesign Controls[] = {
    { .name = "Option1", .kind = OptionButton, .index = 7, .caption = "7",
      .left = 7455, .top = 2310, .width = 375, .height = 255, .tabIndex = 10,
      .marker = true, .accessibleName = "Control point 7" },
    { .name = "Option1", .kind = OptionButton, .index = 0, .caption = "0",
      .left = 7455, .top = 2625, .width = 375, .height = 255, .tabIndex = 9,
      .marker = true, .accessibleName = "Control point 0" },
    { .name = "Command1", .kind = PushButton, .index = 6, .caption = "6",
      .left = 4830, .top = 1890, .width = 255, .height = 255, .tabIndex = 8,
      .marker = true, .accessibleName = "Control point 6" },
    { .name = "Text_Ind", .kind = TextBox, .caption = "Index",
      .left = 8160, .top = 0, .width = 495, .height = 285, .tabIndex = 7,
      .accessibleName = "Index of the control point under the pointer" },
    { .name = "Text_y", .kind = TextBox, .caption = "y",
      .left = 8160, .top = 720, .width = 855, .height = 285, .tabIndex = 6,
      .accessibleName = "Top of the dragged control point, in twips" },
    { .name = "Text_x", .kind = TextBox, .caption = "x",
      .left = 8160, .top = 360, .width = 855, .height = 285, .tabIndex = 5,
      .accessibleName = "Left of the dragged control point, in twips" },
    { .name = "Command1", .kind = PushButton, .index = 1, .caption = "1",
      .left = 4830, .top = 2940, .width = 255, .height = 255, .tabIndex = 4,
      .marker = true, .accessibleName = "Control point 1" },
    { .name = "Command1", .kind = PushButton, .index = 2, .caption = "2",
      .left = 2625, .top = 3150, .width = 255, .height = 255, .tabIndex = 3,
      .marker = true, .accessibleName = "Control point 2" },
    { .name = "Command1", .kind = PushButton, .index = 3, .caption = "3",
      .left = 1260, .top = 2835, .width = 255, .height = 255, .tabIndex = 2,
      .marker = true, .accessibleName = "Control point 3" },
    { .name = "Command1", .kind = PushButton, .index = 4, .caption = "4",
      .left = 1260, .top = 1995, .width = 255, .height = 255, .tabIndex = 1,
      .marker = true, .accessibleName = "Control point 4" },
    { .name = "Command1", .kind = PushButton, .index = 5, .caption = "5",
      .left = 2625, .top = 1575, .width = 255, .height = 255, .tabIndex = 0,
      .marker = true, .accessibleName = "Control point 5" },
};
// clang-format on

} // namespace

const platform::FormDesign &Form1Design()
{
    static const platform::FormDesign design {
        .name = "Form1",
        .caption = "Bezier curve with 7 points",
        .clientWidth = 9075,
        .clientHeight = 5415,
        .backColor = std::nullopt,
        .menu = Menu,
        .controls = Controls,
        .accessibleDescription = "A Bézier curve of degree 7 shaped by the eight control points, "
                                 "drawn with the tangents at its two ends",
    };
    return design;
}
