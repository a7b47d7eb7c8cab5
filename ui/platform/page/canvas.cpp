#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform {

using page::val;

namespace {

// Red in the highest byte, as the page writes a colour, from the design's 0x00BBGGRR.
std::int32_t Rgb(Colour colour)
{
    return static_cast<std::int32_t>(
        ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF));
}

struct Point {
    double x;
    double y;
};

// The part of the segment a to b within the box from (low, low) to (highX, highY) (Liang-Barsky),
// measured from the end nearer the box, so that an end inside stays exact however far the other
// lies; false when none of it is, or when an end is not a number.
bool Clip(Point &a, Point &b, double low, double highX, double highY)
{
    const auto far = [&](Point p) { return std::abs(p.x - highX / 2) + std::abs(p.y - highY / 2); };
    if (far(b) < far(a))
        std::swap(a, b);
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    if (!std::isfinite(a.x + a.y + dx + dy))
        return false;
    double enter = 0.0;
    double leave = 1.0;
    // For each side: how fast the segment heads out through it, and how far inside it a lies.
    const std::pair<double, double> sides[]
        = { { -dx, a.x - low }, { dx, highX - a.x }, { -dy, a.y - low }, { dy, highY - a.y } };
    for (const auto &[out, inside] : sides) {
        if (out == 0.0 && inside < 0.0)
            return false;
        if (out < 0.0)
            enter = std::max(enter, inside / out);
        else if (out > 0.0)
            leave = std::min(leave, inside / out);
    }
    if (enter > leave)
        return false;
    const Point from = a;
    a = { from.x + enter * dx, from.y + enter * dy };
    if (leave < 1.0)
        b = { from.x + leave * dx, from.y + leave * dy };
    return true;
}

} // namespace

Canvas::Canvas(const val &clientArea, double width, double height)
    : m_canvas(page::Create("canvas", clientArea, "drawing"))
    , m_context(m_canvas.call<val>("getContext", std::string("2d")))
    , m_paint(val::module_property("paintRuns"))
    , m_frame(page::Callback([this](const val &) { Paint(); }))
    , m_width(width)
    , m_height(height)
{
    m_canvas.call<void>("setAttribute", std::string("aria-hidden"), std::string("true"));
    page::OnRescaled([this] { Changed(); });
    // The text colour follows the reader's scheme, light or dark, and forced colours: each watched
    // on its own, since one query for either would not change when one takes over from the other.
    for (const char *query : { "(prefers-color-scheme: dark)", "(forced-colors: active)" })
        page::Listen(val::global("window").call<val>("matchMedia", std::string(query)), "change",
            [this](const val &) {
                m_text = val::undefined();
                Changed();
            });
}

void Canvas::Cls()
{
    m_strokes.clear();
    Changed();
}

void Canvas::Line(float x1, float y1, float x2, float y2, std::optional<Colour> colour)
{
    m_strokes.push_back({ x1, y1, x2, y2, colour ? Rgb(*colour) : -1 });
    Changed();
}

void Canvas::Changed()
{
    if (m_requested)
        return;
    m_requested = true;
    val::global("window").call<void>("requestAnimationFrame", m_frame);
}

void Canvas::Paint()
{
    m_requested = false;
    const double ratio = val::global("devicePixelRatio").as<double>();
    const double scale = page::Scale();
    const int width = static_cast<int>(std::floor(m_width * scale * ratio + 1e-9));
    const int height = static_cast<int>(std::floor(m_height * scale * ratio + 1e-9));
    if (width != m_deviceWidth || height != m_deviceHeight) {
        m_deviceWidth = width;
        m_deviceHeight = height;
        m_canvas.set("width", width);
        m_canvas.set("height", height);
        // Shown at exactly its own pixels: one of them a device pixel.
        val style = m_canvas["style"];
        style.set("width", page::Px(width / ratio));
        style.set("height", page::Px(height / ratio));
    }
    m_runs.clear();
    for (const Stroke &stroke : m_strokes)
        Rasterise(stroke, scale * ratio / page::TwipsPerPixel);
    // Asked once a scheme: the page works the style out anew for it, the main cost of a paint.
    if (m_text.isUndefined())
        m_text = val::global("getComputedStyle")(m_canvas)["color"];
    // One call for the whole frame: each call from here to the page costs microseconds.
    m_paint(m_context, val(emscripten::typed_memory_view(m_runs.size(), m_runs.data())), m_text);
}

// The device pixels of an aliased line from the pixel that holds one end to the pixel that holds
// the other (Bresenham), as runs along its longer axis.
void Canvas::Rasterise(const Stroke &stroke, double devicePerTwip)
{
    Point a { stroke.x1 * devicePerTwip, stroke.y1 * devicePerTwip };
    Point b { stroke.x2 * devicePerTwip, stroke.y2 * devicePerTwip };
    // A pixel beyond the canvas on each side, so that a clipped line enters it as the whole would.
    if (!Clip(a, b, -2, m_deviceWidth + 2, m_deviceHeight + 2))
        return;
    const std::size_t first = m_runs.size();
    int x = static_cast<int>(std::floor(a.x));
    int y = static_cast<int>(std::floor(a.y));
    const int endX = static_cast<int>(std::floor(b.x));
    const int endY = static_cast<int>(std::floor(b.y));
    const int dx = std::abs(endX - x);
    const int dy = -std::abs(endY - y);
    const int stepX = x < endX ? 1 : -1;
    const int stepY = y < endY ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        Plot(x, y, stroke.rgb, first);
        if (x == endX && y == endY)
            break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

// Adds a device pixel to the stroke's last run where it continues it, else starts a run of its own.
void Canvas::Plot(int x, int y, std::int32_t rgb, std::size_t first)
{
    if (x < 0 || y < 0 || x >= m_deviceWidth || y >= m_deviceHeight)
        return;
    if (m_runs.size() > first) {
        std::int32_t *run = &m_runs[m_runs.size() - 5]; // x, y, width, height, rgb
        if (run[3] == 1 && y == run[1] && (x == run[0] + run[2] || x == run[0] - 1)) {
            run[0] = std::min(run[0], x);
            ++run[2];
            return;
        }
        if (run[2] == 1 && x == run[0] && (y == run[1] + run[3] || y == run[1] - 1)) {
            run[1] = std::min(run[1], y);
            ++run[3];
            return;
        }
    }
    m_runs.insert(m_runs.end(), { x, y, 1, 1, rgb });
}

} // namespace platform
