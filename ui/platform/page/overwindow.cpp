#include "overwindow.h"

#include <algorithm>

namespace platform {

using page::val;

namespace {

// In design pixels, a title bar's close box's width.
constexpr double CloseWidth = 24;
// In CSS pixels, whatever the scale: how much of the rest of a title bar stays on the page at the
// least, enough for a finger to take hold of.
constexpr double Grip = 40;

// The window chosen last lies in front.
int &Front()
{
    static int front = 0;
    return front;
}

double Number(const val &box, const char *name)
{
    return box[name].as<double>();
}

} // namespace

OverWindow::OverWindow(val window, const val &titleBar, val startUpWindow)
    : m_window(std::move(window))
    , m_titleBar(titleBar)
    , m_startUp(std::move(startUpWindow))
{
    val bar = titleBar;
    page::Listen(bar, "pointerdown", [this, bar](const val &event) mutable {
        if (!event["isPrimary"].as<bool>() || event["button"].as<int>() != 0
            || event["target"]["tagName"].as<std::string>() == "BUTTON")
            return;
        const val pointer = event["pointerId"];
        bar.call<void>("setPointerCapture", pointer);
        const val corner = m_window.call<val>("getBoundingClientRect");
        m_holder = pointer.as<int>();
        m_gripX = Number(event, "clientX") - Number(corner, "left");
        m_gripY = Number(event, "clientY") - Number(corner, "top");
    });
    // Moved by the pointer that took hold of it, while its left button is down: a pen pressed and
    // then used as a mouse, or a window hidden while held, may never tell of the release.
    page::Listen(bar, "pointermove", [this](const val &event) {
        if (event["pointerId"].as<int>() != m_holder)
            return;
        if ((event["buttons"].as<int>() & 1) == 0)
            m_holder = NoPointer;
        else
            MoveTo(Number(event, "clientX") - m_gripX, Number(event, "clientY") - m_gripY);
    });
    page::Listen(bar, "lostpointercapture", [this](const val &) { m_holder = NoPointer; });
    page::OnRescaled([this] {
        if (m_placed)
            Place();
    });
}

void OverWindow::Show()
{
    m_window.set("hidden", false);
    m_holder = NoPointer;
    if (!m_placed) {
        const val over = m_startUp.call<val>("getBoundingClientRect");
        const val own = m_window.call<val>("getBoundingClientRect");
        MoveTo(Number(over, "left") + (Number(over, "width") - Number(own, "width")) / 2,
            Number(over, "top") + (Number(over, "height") - Number(own, "height")) / 2);
        m_placed = true;
    }
    const val own = m_window.call<val>("getBoundingClientRect");
    const val html = page::Document()["documentElement"];
    const auto inView = [](double start, double size, double room) {
        return std::max(0.0, std::min(start, room - size));
    };
    MoveTo(inView(Number(own, "left"), Number(own, "width"), html["clientWidth"].as<double>()),
        inView(Number(own, "top"), Number(own, "height"), html["clientHeight"].as<double>()));
    m_window["style"].set("zIndex", ++Front());
    val options = val::object();
    options.set("preventScroll", true);
    m_window.call<void>("focus", options);
}

void OverWindow::MoveTo(double left, double top)
{
    const auto [reachableLeft, reachableTop] = Reachable(left, top);
    const val editor = m_startUp.call<val>("getBoundingClientRect");
    m_x = (reachableLeft - Number(editor, "left")) / page::Scale();
    m_y = (reachableTop - Number(editor, "top")) / page::Scale();
    Place();
}

void OverWindow::Place()
{
    const val editor = m_startUp.call<val>("getBoundingClientRect");
    const auto [left, top] = Reachable(
        Number(editor, "left") + m_x * page::Scale(), Number(editor, "top") + m_y * page::Scale());
    // On whole device pixels, as the start-up window lies.
    val style = m_window["style"];
    style.set("left", page::Px(page::WholeDevicePixels(left)));
    style.set("top", page::Px(page::WholeDevicePixels(top)));
}

std::pair<double, double> OverWindow::Reachable(double left, double top) const
{
    const val html = page::Document()["documentElement"];
    const val own = m_window.call<val>("getBoundingClientRect");
    const val bar = m_titleBar.call<val>("getBoundingClientRect");
    // The part of the title bar that a pointer can hold, all of it but the close box, and its
    // bottom, from the window's corner: its frame lies around them.
    const double holdFrom = Number(bar, "left") - Number(own, "left");
    const double holdTo = std::max(
        holdFrom, Number(bar, "right") - Number(own, "left") - CloseWidth * page::Scale());
    const double bottom = Number(bar, "bottom") - Number(own, "top");
    const double grip = std::min(Grip, holdTo - holdFrom);
    // Within whole device pixels of the bounds, as the window is placed on them.
    const auto up = [](double css) { return -page::WholeDevicePixels(-css); };
    const double lowest = up(grip - holdTo);
    return { std::clamp(left, lowest,
                 std::max(lowest,
                     page::WholeDevicePixels(html["clientWidth"].as<double>() - holdFrom - grip))),
        std::clamp(top, 0.0,
            std::max(0.0, page::WholeDevicePixels(html["clientHeight"].as<double>() - bottom))) };
}

} // namespace platform
