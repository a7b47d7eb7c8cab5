#include "canvas.h"

#include <QCoreApplication>
#include <QPaintEvent>

#include <algorithm>
#include <cmath>
#include <optional>

namespace platform {

namespace {

const QEvent::Type PresentEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// Clips the segment a-b to box (Liang-Barsky), so that the painter never sees coordinates far
// outside the image, however far a point was dragged. Empty when nothing of it is inside.
std::optional<QLineF> Clipped(QPointF a, QPointF b, const QRectF &box)
{
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
            continue;
        }
        const double r = q[k] / p[k];
        if (p[k] < 0.0)
            enter = std::max(enter, r);
        else
            leave = std::min(leave, r);
    }
    if (enter > leave)
        return std::nullopt;
    // Interpolating from the nearer end keeps an end point inside the box exact, however far
    // the other one lies; the clamp holds what rounding moved outside.
    const auto at = [&](double s) {
        const QPointF p = s < 0.5 ? QPointF(a.x() + s * dx, a.y() + s * dy)
                                  : QPointF(b.x() - (1.0 - s) * dx, b.y() - (1.0 - s) * dy);
        return QPointF(
            std::clamp(p.x(), box.left(), box.right()), std::clamp(p.y(), box.top(), box.bottom()));
    };
    return QLineF(at(enter), at(leave));
}

// Grows `into` to hold `rect`, which is not empty. Inline, unlike QRect's union: it runs twice
// for every stroke.
void Unite(QRect &into, const QRect &rect)
{
    if (into.isEmpty()) {
        into = rect;
        return;
    }
    into.setCoords(std::min(into.left(), rect.left()), std::min(into.top(), rect.top()),
        std::max(into.right(), rect.right()), std::max(into.bottom(), rect.bottom()));
}

} // namespace

Canvas::Canvas(const QColor &background, const QColor &foreground, QWidget *parent)
    : QWidget(parent)
    , m_background(background.rgb())
    , m_foreground(foreground)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_StaticContents);
    m_strokes.reserve(128);
}

void Canvas::Cls()
{
    ensureImageCovers(size());
    fillBackground(m_inked);
    changed(m_inked);
    m_inked = QRect();
    m_strokes.clear();
}

void Canvas::Line(QPointF from, QPointF to, const QColor &colour)
{
    draw({ from, to, colour.rgb(), false });
}

void Canvas::PSet(QPointF at, const QColor &colour)
{
    draw({ at, at, colour.rgb(), true });
}

const QImage &Canvas::image()
{
    ensureImageCovers(size());
    finishPainting();
    return m_image;
}

void Canvas::draw(const Stroke &stroke)
{
    // Asking for the resolution goes through the window and its screen every time, so the image
    // is checked when a batch starts; within one, a resize regrows it at once and a new
    // resolution is caught by the next paint, both redrawing the strokes.
    if (!m_painter.isActive())
        ensureImageCovers(size());
    m_strokes.push_back(stroke);

    const double dpr = m_image.devicePixelRatio();
    const QRectF bounds(QPointF(0, 0), QSizeF(m_image.size()) / dpr);
    const auto line = Clipped(stroke.from, stroke.to, bounds.adjusted(-2, -2, 2, 2));
    if (!line)
        return;

    if (!m_painter.isActive()) {
        m_painter.begin(&m_image);
        m_penColour = ~stroke.colour;
    }
    if (m_penColour != stroke.colour) {
        m_penColour = stroke.colour;
        m_painter.setPen(QPen(QColor::fromRgb(stroke.colour), 0)); // cosmetic: one device pixel
    }
    if (stroke.point)
        m_painter.drawPoint(line->p1());
    else
        m_painter.drawLine(*line);

    // Two device pixels around the segment hold whatever the rasteriser touched.
    const double x1 = line->x1() * dpr;
    const double x2 = line->x2() * dpr;
    const double y1 = line->y1() * dpr;
    const double y2 = line->y2() * dpr;
    QRect touched;
    touched.setCoords(std::max(0, static_cast<int>(std::floor(std::min(x1, x2))) - 2),
        std::max(0, static_cast<int>(std::floor(std::min(y1, y2))) - 2),
        std::min(m_image.width() - 1, static_cast<int>(std::ceil(std::max(x1, x2))) + 1),
        std::min(m_image.height() - 1, static_cast<int>(std::ceil(std::max(y1, y2))) + 1));
    if (touched.isEmpty())
        return;
    Unite(m_inked, touched);
    changed(touched);
}

void Canvas::ensureImageCovers(QSize logicalSize)
{
    const double dpr = devicePixelRatioF();
    const QSize needed = (QSizeF(logicalSize) * dpr).toSize().expandedTo(m_image.size());
    if (!m_image.isNull() && needed == m_image.size() && m_image.devicePixelRatio() == dpr)
        return;

    // Grow, never shrink, and redraw what has been drawn since the last Cls: that keeps the
    // picture, including parts that lay beyond the old image.
    finishPainting();
    m_image = QImage(needed, QImage::Format_RGB32);
    m_image.setDevicePixelRatio(dpr);
    m_image.fill(m_background);
    m_inked = QRect();
    const std::vector<Stroke> strokes = std::move(m_strokes);
    m_strokes.clear();
    for (const Stroke &stroke : strokes)
        draw(stroke);
    changed(m_image.rect());
}

void Canvas::fillBackground(const QRect &deviceRect)
{
    const QRect area = deviceRect & m_image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(m_image.scanLine(y));
        std::fill(row + area.left(), row + area.right() + 1, m_background);
    }
}

void Canvas::changed(const QRect &deviceRect)
{
    if (deviceRect.isEmpty())
        return;
    Unite(m_unpresented, deviceRect);
    // One update request per batch of drawing, sent once the handler that draws has returned.
    if (!m_presentPosted) {
        m_presentPosted = true;
        QCoreApplication::postEvent(this, new QEvent(PresentEvent));
    }
}

void Canvas::finishPainting()
{
    if (m_painter.isActive())
        m_painter.end();
}

void Canvas::customEvent(QEvent *event)
{
    if (event->type() != PresentEvent)
        return QWidget::customEvent(event);
    m_presentPosted = false;
    finishPainting();
    const double dpr = m_image.devicePixelRatio();
    const QRectF logical(
        QPointF(m_unpresented.topLeft()) / dpr, QSizeF(m_unpresented.size()) / dpr);
    m_unpresented = QRect();
    update(logical.toAlignedRect());
}

void Canvas::paintEvent(QPaintEvent *event)
{
    ensureImageCovers(size());
    finishPainting();
    QPainter painter(this);
    const QRect area = event->rect();
    const double dpr = m_image.devicePixelRatio();
    painter.drawImage(
        area, m_image, QRectF(QPointF(area.topLeft()) * dpr, QSizeF(area.size()) * dpr));
}

void Canvas::resizeEvent(QResizeEvent *event)
{
    ensureImageCovers(size());
    QWidget::resizeEvent(event);
}

} // namespace platform
