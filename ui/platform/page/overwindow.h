// A window over the page, such as the About window: moved by its title bar, and never lost.
#pragma once

#include "page.h"

#include <utility>

namespace platform {

// Keeps a window that opens over the start-up window where a person can reach it, as window
// managers do: however its title bar is dragged and whatever the page's size becomes, enough of
// the title bar to grab stays on the page. Its place is kept in design pixels from the start-up
// window's corner, so that at a new scale it moves and scales with the editor.
class OverWindow {
public:
    OverWindow(page::val window, const page::val &titleBar, page::val startUpWindow);

    // Opens centred over the start-up window the first time, else where it was left, brought
    // whole into view as far as the page holds it; in either case in front.
    void Show();

private:
    // Puts the window's corner at (left, top) in CSS pixels, or as near as keeps it reachable,
    // and keeps that place.
    void MoveTo(double left, double top);
    // Shows it at its kept place, as near as keeps it reachable on the page as it now is.
    void Place();
    // The nearest corner to (left, top) at which its title bar can be held on the page.
    std::pair<double, double> Reachable(double left, double top) const;

    page::val m_window;
    page::val m_titleBar;
    page::val m_startUp;
    double m_x = 0; // its corner from the start-up window's, design pixels
    double m_y = 0;
    bool m_placed = false; // shown before
    static constexpr int NoPointer = -1; // no pointer has that number
    int m_holder = NoPointer; // the pointer that holds its title bar
    double m_gripX = 0; // where the pointer holds it, from its corner, CSS pixels
    double m_gripY = 0;
};

} // namespace platform
