#include "page.h"

#include <emscripten/bind.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace platform::page {

namespace {

// The handlers that Listen registered, called from the page by their number.
std::vector<std::function<void(const val &)>> &Handlers()
{
    static std::vector<std::function<void(const val &)>> handlers;
    return handlers;
}

void Dispatch(int handler, val event)
{
    Handlers()[static_cast<std::size_t>(handler)](event);
}

EMSCRIPTEN_BINDINGS(page)
{
    emscripten::function("dispatch", &Dispatch);
}

struct Fitting {
    double width = 0; // the start-up window's, in design pixels
    double height = 0;
    double menuHeight = 0;
    double scale = 1;
    std::vector<std::function<void()>> rescaled;
    val resolution = val::undefined(); // the query that notices the next device pixel ratio
};

Fitting &Fitted()
{
    static Fitting fitting;
    return fitting;
}

std::string Number(double value)
{
    char text[32];
    return { text, static_cast<std::size_t>(std::snprintf(text, sizeof text, "%.9g", value)) };
}

// The start-up window as large as the page holds, up to its design's size, and centred on it at a
// whole device pixel, so that its canvas meets the display's pixels one for one.
void Refit()
{
    Fitting &fitting = Fitted();
    // The layout viewport's size, not the window's: on a phone the window widens to take in an
    // editor wider than the screen, and so the editor would never shrink to fit it.
    const val html = Document()["documentElement"];
    const double roomWidth = html["clientWidth"].as<double>();
    const double roomHeight = html["clientHeight"].as<double>();
    fitting.scale = std::min({ 1.0, roomWidth / fitting.width, roomHeight / fitting.height });
    const val root = html["style"];
    const auto set = [&root](const char *property, double value, const char *unit) {
        root.call<void>("setProperty", std::string(property), Number(value) + unit);
    };
    set("--scale", fitting.scale, "");
    // The client area's canvas starts on a whole device pixel: so do the window and its menu bar.
    set("--left", WholeDevicePixels(std::max(0.0, roomWidth - fitting.width * fitting.scale) / 2),
        "px");
    set("--top", WholeDevicePixels(std::max(0.0, roomHeight - fitting.height * fitting.scale) / 2),
        "px");
    set("--menu", WholeDevicePixels(fitting.menuHeight * fitting.scale), "px");
    for (const auto &handler : fitting.rescaled)
        handler();
}

// A change of the device pixel ratio (browser zoom, another screen) shows as a media query that no
// longer matches; a new one is asked for each ratio.
void WatchResolution()
{
    Fitting &fitting = Fitted();
    const double ratio = val::global("devicePixelRatio").as<double>();
    fitting.resolution
        = val::global("window").call<val>("matchMedia", "(resolution: " + Number(ratio) + "dppx)");
    Listen(
        fitting.resolution, "change",
        [](const val &) {
            Refit();
            WatchResolution();
        },
        true);
}

} // namespace

int PixelPosition(float twips)
{
    // Far beyond any screen, yet well inside what CSS lengths and int take.
    constexpr double Limit = 1 << 24;
    const double pixels = static_cast<double>(twips) / TwipsPerPixel;
    return std::isnan(pixels) ? 0
                              : static_cast<int>(std::lround(std::clamp(pixels, -Limit, Limit)));
}

std::string Length(double pixels)
{
    return "calc(var(--scale) * " + Number(pixels) + "px)";
}

std::string Px(double css)
{
    return Number(css) + "px";
}

val Document()
{
    return val::global("document");
}

val Create(std::string_view tag, const val &parent, std::string_view className)
{
    val element = Document().call<val>("createElement", std::string(tag));
    if (!className.empty())
        element.set("className", std::string(className));
    parent.call<void>("append", element);
    return element;
}

val Callback(std::function<void(const val &)> handler)
{
    auto &handlers = Handlers();
    handlers.push_back(std::move(handler));
    return val::module_property("dispatch")
        .call<val>("bind", val::null(), static_cast<int>(handlers.size() - 1));
}

void Listen(
    const val &target, std::string_view type, std::function<void(const val &)> handler, bool once)
{
    val options = val::object();
    options.set("once", once);
    target.call<void>("addEventListener", std::string(type), Callback(std::move(handler)), options);
}

double Scale()
{
    return Fitted().scale;
}

double WholeDevicePixels(double css)
{
    const double ratio = val::global("devicePixelRatio").as<double>();
    return std::floor(css * ratio + 1e-9) / ratio;
}

void Fit(double width, double height, double menuHeight)
{
    Fitting &fitting = Fitted();
    fitting.width = width;
    fitting.height = height;
    fitting.menuHeight = menuHeight;
    Listen(val::global("window"), "resize", [](const val &) { Refit(); });
    WatchResolution();
    Refit();
}

void OnRescaled(std::function<void()> handler)
{
    Fitted().rescaled.push_back(std::move(handler));
}

} // namespace platform::page
