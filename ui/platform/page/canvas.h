// The client area's drawing, kept as strokes and painted on the page's 2D canvas once a frame.
#pragma once

#include "design.h"
#include "page.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

// A form's client area, beneath its child controls. What is drawn is kept as strokes in twips
// and painted at the next frame as aliased lines one device pixel wide, at the device's
// resolution: anew whenever the page's scale or device pixel ratio changes, so that the picture
// stays crisp and whole.
class Canvas {
public:
    // A canvas over the whole client area, of that size in design pixels.
    Canvas(const page::val &clientArea, double width, double height);

    void Cls();
    // A point where both ends are one; no colour is the client area's text colour.
    void Line(float x1, float y1, float x2, float y2, std::optional<Colour> colour);

private:
    struct Stroke {
        float x1, y1, x2, y2;
        std::int32_t rgb; // 0xRRGGBB, or -1 for the text colour
    };

    void Changed(); // asks for a paint at the next frame
    void Paint();
    void Rasterise(const Stroke &stroke, double devicePerTwip);
    void Plot(int x, int y, std::int32_t rgb, std::size_t first);

    std::vector<Stroke> m_strokes; // since the last Cls, in drawing order
    std::vector<std::int32_t> m_runs; // x, y, width, height, rgb: device pixels of one colour
    page::val m_canvas;
    page::val m_context;
    page::val m_paint; // the page's loop over the runs
    page::val m_frame; // Paint, as the page calls it
    page::val m_text = page::val::undefined(); // the canvas's text colour, once known
    double m_width; // design pixels
    double m_height;
    int m_deviceWidth = 0; // the canvas's own pixels, the device's
    int m_deviceHeight = 0;
    bool m_requested = false;
};

} // namespace platform
