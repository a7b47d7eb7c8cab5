#include "form_about.h"

namespace {

using platform::ControlDesign;
using platform::ControlKind;
using platform::FontDesign;

constexpr platform::Colour LightYellow = 0x00C0FFFF;
constexpr FontDesign Normal { .face = "MS Sans Serif", .points = 9.75, .weight = 400 };
constexpr FontDesign Bold { .face = "MS Sans Serif", .points = 9.75, .weight = 700 };

// In creation order; geometry in twips.
constexpr ControlDesign Labels[] = {
    { .name = "Label4",
        .kind = ControlKind::Label,
        .caption = "bezier7@example.org",
        .left = 480,
        .top = 2400,
        .width = 1935,
        .height = 255,
        .tabIndex = 3,
        .centred = true,
        .wordWrap = true,
        .foreColor = 0x00C00000,
        .backColor = LightYellow,
        .font = Normal },
    { .name = "Label3",
        .kind = ControlKind::Label,
        .caption = "bezier7 team",
        .left = 480,
        .top = 1890,
        .width = 1935,
        .height = 255,
        .tabIndex = 2,
        .centred = true,
        .wordWrap = true,
        .foreColor = 0x000000FF,
        .backColor = LightYellow,
        .font = Bold },
    { .name = "Label2",
        .kind = ControlKind::Label,
        .caption = "developed by",
        .left = 720,
        .top = 1560,
        .width = 1335,
        .height = 375,
        .tabIndex = 1,
        .centred = true,
        .wordWrap = true,
        .backColor = LightYellow,
        .font = Normal },
    { .name = "Label1",
        .kind = ControlKind::Label,
        .caption = "This program generates a Bezier curve with 7 control points",
        .left = 240,
        .top = 240,
        .width = 2535,
        .height = 870,
        .tabIndex = 0,
        .centred = true,
        .wordWrap = true,
        .foreColor = 0x00008000,
        .backColor = LightYellow,
        .font = Bold },
};

constexpr platform::FormDesign Design {
    .name = "Form_About",
    .caption = "About",
    .clientWidth = 2940,
    .clientHeight = 3045,
    .backColor = LightYellow,
    .menu = {},
    .controls = Labels,
};

} // namespace

Form_About::Form_About()
    : Form(Design)
{ }
