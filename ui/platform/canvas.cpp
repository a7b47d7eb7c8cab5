#include "canvas.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace platform {

namespace {

// The part of the segment inside box (Liang-Barsky); empty when nothing of it is, or when an end
// is not a number.
std::optional<QLineF> Clipped(const QLineF &line, const QRectF &box)
{
    const QPointF a = line.p1();
    const QPointF b = line.p2();
    if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x())
        || !std::isfinite(b.y()))
        return std::nullopt;
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    double enter = 0.0;
    double leave = 1.0;
    const double p[4] = { -dx, dx, -dy, dy };
    const double q[4]
        = { a.x() - box.left(), box.right() - a.x(), a.y() - box.top(), box.bottom() - a.y() };
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0.0) {
            if (q[k] < 0.0)
                return std::nullopt;
        } else if (p[k] < 0.0) {
            enter = std::max(enter, q[k] / p[k]);
        } else {
            leave = std::min(leave, q[k] / p[k]);
        }
    }
    if (enter > leave)
        return std::nullopt;
    // From the nearer end, so that an end inside the box stays exact however far the other lies.
    const auto at = [&](double s) {
        return s < 0.5 ? QPointF(a.x() + s * dx, a.y() + s * dy)
                       : QPointF(b.x() - (1.0 - s) * dx, b.y() - (1.0 - s) * dy);
    };
    return QLineF(enter == 0.0 ? a : at(enter), leave == 1.0 ? b : at(leave));
}

// The corner of the device pixel that holds a point. The raster engine starts an aliased line on
// the device pixel that holds its end, but rounds a point to the nearest pixel corner: a point set
// where a line starts lands on the line's first pixel only from there, at any scale factor.
QPointF OnPixel(QPointF at, double ratio)
{
    return { std::floor(at.x() * ratio) / ratio, std::floor(at.y() * ratio) / ratio };
}

} // namespace

Canvas::Canvas(const QColor &background, const QColor &foreground, QWidget *parent)
    : QWidget(parent)
    , m_background(background)
    , m_foreground(foreground.rgb())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_strokes.reserve(128);
}

void Canvas::Cls()
{
    for (const Stroke &stroke : m_strokes)
        invalidate(stroke.bounds);
    m_strokes.clear();
}

void Canvas::Line(QPointF from, QPointF to, const QColor &colour)
{
    add({ from, to }, colour.rgb());
}

void Canvas::Line(QPointF from, QPointF to)
{
    add({ from, to }, m_foreground);
}

void Canvas::PSet(QPointF at)
{
    add({ at, at }, m_foreground);
}

void Canvas::add(QLineF line, QRgb colour)
{
    // Cut to four million pixels around the client area, far beyond any screen: the raster engine
    // draws aliased lines in 26.6 fixed point, which the far ends a drag can make would overflow.
    constexpr double Far = 1 << 22;
    const auto kept = Clipped(line, QRectF(-Far, -Far, 2 * Far, 2 * Far));
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
    const QRect visible = area & rect();
    if (visible.isEmpty() || m_requested.contains(visible))
        return;
    m_requested |= visible;
    update(m_requested);
}

void Canvas::paintEvent(QPaintEvent *event)
{
    m_requested = QRect();
    QPainter painter(this);
    painter.fillRect(event->rect(), m_background);
    // Runs of lines in one colour go to the painter in one call, which costs it far less.
    std::vector<QLineF> run;
    QRgb colour = 0;
    const auto drawRun = [&] {
        if (run.empty())
            return;
        painter.setPen(QPen(QColor::fromRgb(colour), 0)); // cosmetic: one device pixel wide
        painter.drawLines(run.data(), static_cast<int>(run.size()));
        run.clear();
    };
    for (const Stroke &stroke : m_strokes) {
        if (!event->region().intersects(stroke.bounds))
            continue;
        const bool point = stroke.line.p1() == stroke.line.p2();
        if (stroke.colour != colour || point)
            drawRun();
        colour = stroke.colour;
        if (point) {
            painter.setPen(QPen(QColor::fromRgb(colour), 0));
            painter.drawPoint(OnPixel(stroke.line.p1(), devicePixelRatioF()));
        } else {
            run.push_back(stroke.line);
        }
    }
    drawRun();
}

} // namespace platform
