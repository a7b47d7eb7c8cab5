#include "look.h"

#include <cstdio>

namespace platform {

using page::val;

std::string CssColour(Colour colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour & 0xFF, (colour >> 8) & 0xFF,
        (colour >> 16) & 0xFF);
    return text;
}

namespace {

// The look a label's design asks for; the rest comes from the page's style sheet.
void ApplyLabelDesign(val style, const ControlDesign &design)
{
    if (design.centred)
        style.set("textAlign", std::string("center"));
    if (design.wordWrap)
        style.set("whiteSpace", std::string("normal"));
    if (design.foreColor)
        style.set("color", CssColour(*design.foreColor));
    if (design.backColor)
        style.set("background", CssColour(*design.backColor));
    if (design.font) {
        // Windows' own face where the reader has it, else the nearest the page offers.
        style.set("fontFamily",
            "\"" + std::string(design.font->face) + "\", \"Microsoft Sans Serif\", var(--face)");
        style.set("fontSize", page::Length(design.font->points * 96 / 72));
        style.set("fontWeight", design.font->weight);
    }
}

} // namespace

ControlElements CreateElements(const ControlDesign &design, const val &parent)
{
    const std::string caption(design.caption);
    switch (design.kind) {
    case ControlKind::OptionButton: {
        val label = page::Create("label", parent, "control option");
        val input = page::Create("input", label);
        input.set("type", std::string("radio"));
        val text = page::Create("span", label);
        text.set("textContent", caption);
        return { label, input, text };
    }
    case ControlKind::PushButton: {
        val button = page::Create("button", parent, "control button");
        button.set("type", std::string("button"));
        button.set("textContent", caption);
        return { button, button, button };
    }
    case ControlKind::TextBox: {
        val box = page::Create("input", parent, "control textbox");
        box.set("type", std::string("text"));
        box.set("value", caption);
        box.set("spellcheck", false);
        box.set("autocomplete", std::string("off"));
        return { box, box, box };
    }
    case ControlKind::Label:
        break;
    }
    val label = page::Create("div", parent, "control label");
    label.set("textContent", caption);
    ApplyLabelDesign(label["style"], design);
    return { label, label, label };
}

} // namespace platform
