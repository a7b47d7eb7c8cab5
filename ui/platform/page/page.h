// The page the windows live on: its elements from C++, their events, and the scale at which the
// program's pixels are shown.
#pragma once

#include <emscripten/val.h>

#include <functional>
#include <string>
#include <string_view>

namespace platform::page {

using emscripten::val;

// Twips are 1/1440 inch and a CSS pixel 1/96 inch: 15 twips a pixel at the design's size.
constexpr double TwipsPerPixel = 15;

// The whole design pixel a control is placed at: rounded, and kept within a range that CSS
// lengths take, whatever the value in twips.
int PixelPosition(float twips);

// A length of the design's pixels as CSS shows it, at the page's scale: "calc(var(--scale) *
// 35px)".
std::string Length(double pixels);

// A length in CSS pixels as the page reads it, to a double's precision: "604.666667px".
std::string Px(double css);

val Document();

// A new element of that tag, with that class, appended to parent.
val Create(std::string_view tag, const val &parent, std::string_view className = {});

// A function of the page that calls handler with its argument, for as long as the page lives.
val Callback(std::function<void(const val &)> handler);

// Calls handler with each event of that type on target, for as long as the page lives, or only
// with the first.
void Listen(const val &target, std::string_view type, std::function<void(const val &)> handler,
    bool once = false);

// CSS pixels a pixel of the program's windows takes: 1 where the start-up window fits the page at
// its design's size, less where it does not, so that it shows whole.
double Scale();

// A length of CSS pixels rounded down to whole device pixels.
double WholeDevicePixels(double css);

// Fits the start-up window, of that size in design pixels, its menu bar's height among them, to
// the page, now and whenever the page's size, zoom or device pixel ratio changes; then calls each
// of OnRescaled's handlers.
void Fit(double width, double height, double menuHeight);
void OnRescaled(std::function<void()> handler);

} // namespace platform::page
