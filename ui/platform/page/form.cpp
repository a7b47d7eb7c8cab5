#include "form.h"

#include "arrowkeys.h"
#include "canvas.h"
#include "control_peer.h"
#include "look.h"
#include "mousemove.h"
#include "overwindow.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

namespace platform {

using page::val;

namespace {

// The menu bar's height, in design pixels.
constexpr double BarHeight = 20;

// The start-up window, the first one made, takes the page; the others open over it.
val &StartUpWindow()
{
    static val window = val::undefined();
    return window;
}

void SetAttribute(const val &element, const char *name, const std::string &value)
{
    element.call<void>("setAttribute", std::string(name), value);
}

} // namespace

struct Form::Peer {
    val window = val::undefined();
    val client = val::undefined(); // the client area, which holds the canvas and the controls
    std::unique_ptr<Canvas> canvas;
    std::vector<std::pair<std::string, val>> menu; // by item name
    bool startUp = false;
    std::unique_ptr<OverWindow> over; // for a window over the page
};

Form::Form(const FormDesign &design)
    : m_peer(std::make_unique<Peer>())
{
    Peer &peer = *m_peer;
    const val program = page::Document().call<val>("getElementById", std::string("program"));
    const std::string name(design.name);
    const std::string caption(design.caption);
    peer.startUp = StartUpWindow().isUndefined();
    peer.window = page::Create("section", program, peer.startUp ? "form startup" : "form window");
    peer.window.set("id", name);
    // Nothing in a window is dragged natively, as on the desktop: the browser's drag of a text, a
    // caption or the canvas would take the pointer's events for itself until it is dropped.
    page::Listen(
        peer.window, "dragstart", [](const val &event) { event.call<void>("preventDefault"); });
    const std::string heading = name + "-caption";
    if (peer.startUp) {
        StartUpWindow() = peer.window;
        // Its caption is the page's, and the heading a screen reader finds first.
        page::Document().set("title", caption);
        page::Create("h1", peer.window, "caption").set("textContent", caption);
    } else {
        // A modeless window: a title bar with the caption and a close box, and Escape closes it.
        peer.window.set("hidden", true);
        peer.window.set("tabIndex", -1);
        SetAttribute(peer.window, "role", "dialog");
        val bar = page::Create("div", peer.window, "titlebar");
        page::Create("span", bar, "caption").set("textContent", caption);
        val close = page::Create("button", bar, "close");
        close.set("type", std::string("button"));
        close.set("textContent", std::string("\u00d7"));
        SetAttribute(close, "aria-label", "Close");
        val window = peer.window;
        page::Listen(close, "click", [window](const val &) mutable { window.set("hidden", true); });
        page::Listen(window, "keydown", [window](const val &event) mutable {
            if (event["key"].as<std::string>() == "Escape")
                window.set("hidden", true);
        });
        peer.over = std::make_unique<OverWindow>(peer.window, bar, StartUpWindow());
    }
    peer.window.call<val>("querySelector", std::string(".caption")).set("id", heading);
    SetAttribute(peer.window, "aria-labelledby", heading);
    if (!design.accessibleDescription.empty())
        SetAttribute(peer.window, "aria-description", std::string(design.accessibleDescription));

    if (!design.menu.empty()) {
        const val bar = page::Create("div", peer.window, "menubar");
        SetAttribute(bar, "role", "menubar");
        SetAttribute(bar, "aria-label", caption);
        for (const MenuItemDesign &item : design.menu) {
            val button = page::Create("button", bar);
            button.set("type", std::string("button"));
            button.set("id", std::string(item.name));
            button.set("textContent", std::string(item.caption));
            SetAttribute(button, "role", "menuitem");
            peer.menu.emplace_back(std::string(item.name), button);
        }
    }
    peer.client = page::Create("div", peer.window, "client");
    const double width = page::PixelPosition(design.clientWidth);
    const double height = page::PixelPosition(design.clientHeight);
    val style = peer.client["style"];
    style.set("width", page::Length(width));
    style.set("height", page::Length(height));
    // A fixed background brings its own text colour, readable on it whatever the reader's scheme.
    if (design.backColor) {
        const Colour back = *design.backColor;
        const int lightness = (back & 0xFF) * 3 + ((back >> 8) & 0xFF) * 6 + ((back >> 16) & 0xFF);
        val windowStyle = peer.window["style"];
        windowStyle.set("colorScheme", std::string(lightness > 1275 ? "light" : "dark"));
        style.set("background", CssColour(back));
        style.set("color", std::string(lightness > 1275 ? "#000000" : "#ffffff"));
    }
    peer.canvas = std::make_unique<Canvas>(peer.client, width, height);
    AddControls(design);
    if (peer.startUp)
        page::Fit(width, height + BarHeight, BarHeight);
}

Form::~Form() = default;

void Form::AddControls(const FormDesign &design)
{
    // The page's focus moves in the elements' order: they are made in the order of their tab
    // indices (of equal ones, in creation order), and buttons lie above text boxes and labels in
    // their own creation order, so that a button moved onto a text box can still be pressed there.
    std::vector<std::size_t> order(design.controls.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&design](std::size_t a, std::size_t b) {
        return design.controls[a].tabIndex < design.controls[b].tabIndex;
    });
    bool focused = false;
    for (const std::size_t created : order) {
        const ControlDesign &item = design.controls[created];
        std::string name(item.name); // "Text_x", or "Command1(5)" for an element of an array
        if (item.index >= 0)
            name += '(' + std::to_string(item.index) + ')';
        auto [element, input, text] = CreateElements(item, m_peer->client);
        element.set("id", name);
        // Each option button a radio group of its own, so that Tab stops at every marker as the
        // design's tab order has it; WebKit groups nameless ones too.
        if (item.kind == ControlKind::OptionButton)
            input.set("name", name);
        auto peer = std::make_unique<Control::Peer>(Control::Peer {
            element, element["style"], input, text, item.kind == ControlKind::TextBox });
        if (item.kind == ControlKind::OptionButton || item.kind == ControlKind::PushButton)
            peer->style.set("zIndex", static_cast<int>(1 + created));
        Control &control = m_controls.try_emplace(name, std::move(peer), item).first->second;
        control.Describe();
        if (item.index >= 0) {
            ControlArray &array = m_arrays[std::string(item.name)];
            array.m_elements[item.index] = &control;
            ListenForMouseMoves(element, m_peer->client, control, array.m_mouseMove, item.index);
            if (item.marker) {
                element["classList"].call<void>("add", std::string("marker"));
                ListenForArrowKeys(input, array.m_mouseMove, item.index);
            }
        }
        // Focus starts at the lowest tab index.
        if (!focused && item.kind != ControlKind::Label) {
            val options = val::object();
            options.set("preventScroll", true);
            input.call<void>("focus", options);
            focused = true;
        }
    }
}

void Form::Show()
{
    Peer &peer = *m_peer;
    if (!peer.startUp) // the start-up window is the page, always shown
        peer.over->Show();
}

bool Form::Visible() const
{
    return m_peer->startUp || !m_peer->window["hidden"].as<bool>();
}

void Form::Erase()
{
    m_peer->canvas->Cls();
}

void Form::Stroke(float x1, float y1, float x2, float y2, std::optional<Colour> colour)
{
    m_peer->canvas->Line(x1, y1, x2, y2, colour);
}

void Form::OnClick(std::string_view menuItem, std::function<void()> handler)
{
    const auto item = std::find_if(m_peer->menu.begin(), m_peer->menu.end(),
        [menuItem](const auto &named) { return named.first == menuItem; });
    if (item == m_peer->menu.end())
        throw std::out_of_range("no menu item named " + std::string(menuItem));
    page::Listen(item->second, "click", [handler = std::move(handler)](const val &) { handler(); });
}

} // namespace platform
