#include "canvas.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace platform {

namespace {

// The part of the segment within Far pixels of the origin on both axes (Liang-Barsky), from the
// nearer end, so that an end inside stays exact however far the other lies. Empty when nothing of
// it is, or when an end is not a number.
std::optional<QLineF> Clipped(const QLineF &line)
{
    // Four million pixels, far beyond any screen: the raster engine draws aliased lines in 26.6
    // fixed point, which the far ends a drag can make would overflow.
    constexpr double Far = 1 << 22;
    // The common case, both ends inside (and so numbers), comes out as it went in.
    const auto withinFar
        = [](QPointF p) { return std::abs(p.x()) <= Far && std::abs(p.y()) <= Far; };
    if (withinFar(line.p1()) && withinFar(line.p2()))
        return line;
    // Measured from the end nearer the origin: from the far one, the near end's share of the line
    // can round to nothing, and a line that reaches into the picture would shrink to a dot.
    const auto size = [](QPointF p) { return std::abs(p.x()) + std::abs(p.y()); };
    if (size(line.p2()) < size(line.p1())) {
        const std::optional<QLineF> kept = Clipped(QLineF(line.p2(), line.p1()));
        return kept ? std::optional(QLineF(kept->p2(), kept->p1())) : std::nullopt;
    }
    const QPointF a = line.p1();
    const QPointF d = line.p2() - a;
    if (!std::isfinite(a.x() + a.y() + d.x() + d.y()))
        return std::nullopt;
    double enter = 0.0;
    double leave = 1.0;
    // For each side of the box: how fast the segment heads out through it, and how far inside it
    // the first end lies.
    const std::pair<double, double> sides[] = { { -d.x(), a.x() + Far }, { d.x(), Far - a.x() },
        { -d.y(), a.y() + Far }, { d.y(), Far - a.y() } };
    for (const auto &[out, inside] : sides) {
        if (out == 0.0 && inside < 0.0)
            return std::nullopt;
        if (out < 0.0)
            enter = std::max(enter, inside / out);
        else if (out > 0.0)
            leave = std::min(leave, inside / out);
    }
    if (enter > leave)
        return std::nullopt;
    const auto at = [&](double s) { return s < 0.5 ? a + s * d : line.p2() - (1.0 - s) * d; };
    return QLineF(at(enter), at(leave));
}

// The corner of the device pixel that holds a point. The raster engine starts an aliased line on
// the device pixel that holds its end, but rounds a point to the nearest pixel corner: a point set
// where a line starts lands on the line's first pixel only from there, at any scale factor.
QPointF OnPixel(QPointF at, double ratio)
{
    return { std::floor(at.x() * ratio) / ratio, std::floor(at.y() * ratio) / ratio };
}

} // namespace

Canvas::Canvas(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Canvas::Cls()
{
    for (const Stroke &stroke : m_strokes)
        invalidate(stroke.bounds);
    m_strokes.clear();
}

void Canvas::Line(const QLineF &line, QRgb colour)
{
    const auto kept = Clipped(line);
    if (!kept)
        return;
    // And a pixel around, which the rasteriser may touch.
    const QRect bounds
        = QRectF(kept->p1(), kept->p2()).normalized().toAlignedRect().adjusted(-1, -1, 1, 1);
    m_strokes.push_back({ *kept, colour, bounds });
    invalidate(bounds);
}

void Canvas::invalidate(const QRect &area)
{
    // One rectangle for all the drawing between two paints, old and new: the toolkit's own sum of
    // a hundred small ones is a ragged region that costs more to build and to paint through.
    if (m_requested.contains(area)) // already asked for: since a show, or where old strokes lay
        return;
    const QRect visible = area & rect();
    if (visible.isEmpty() || m_requested.contains(visible))
        return;
    m_requested |= visible;
    update(m_requested);
}

void Canvas::showEvent(QShowEvent *event)
{
    // Showing it asks the toolkit to paint the whole widget: strokes drawn before that paint need
    // ask for nothing more.
    if (!event->spontaneous())
        m_requested = rect();
    QWidget::showEvent(event);
}

void Canvas::paintEvent(QPaintEvent *event)
{
    m_requested = QRect();
    QPainter painter(this);
    // The raster engine writes a one-pixel line straight into the image only where the painter's
    // own clip is a rectangle; with the paint region alone, even a rectangle, each pixel goes
    // through its span clipper, which doubles what the lines cost. A clip round the whole widget,
    // a pixel wider against rounding at fractional scales, leaves the painted region as it was.
    if (event->region().rectCount() == 1)
        painter.setClipRect(rect().adjusted(-1, -1, 1, 1));
    painter.fillRect(event->rect(), palette().window());
    // Runs of lines in one colour go to the painter in one call, which costs it far less.
    std::vector<QLineF> run;
    run.reserve(m_strokes.size());
    QRgb colour = 0; // transparent, unlike any stroke
    const auto drawRun = [&] {
        if (!run.empty())
            painter.drawLines(run.data(), static_cast<int>(run.size()));
        run.clear();
    };
    for (const Stroke &stroke : m_strokes) {
        if (!event->region().intersects(stroke.bounds))
            continue;
        if (stroke.colour != colour) {
            drawRun();
            colour = stroke.colour;
            painter.setPen(QPen(QColor::fromRgb(colour), 0)); // cosmetic: one device pixel wide
        }
        if (stroke.line.p1() == stroke.line.p2())
            painter.drawPoint(OnPixel(stroke.line.p1(), devicePixelRatioF()));
        else
            run.push_back(stroke.line);
    }
    drawRun();
}

} // namespace platform
