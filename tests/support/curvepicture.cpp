#include "curvepicture.h"

#include <QHash>
#include <QLineF>
#include <QRectF>
#include <QSet>

#include <algorithm>

namespace testsupport {

namespace {

// Ink this near a line it should be part of may still be the line: the rasteriser's choice of
// pixel, and the scale's rounding.
constexpr double Slack = 2.0;

// What the picture should show, in device pixels.
struct Scene {
    QRectF client;
    QLineF tangents[2];
    std::vector<QLineF> curve; // 100 segments between the 101 samples
    std::vector<QRectF> controls; // and the device pixel around each
};

Scene Expected(const QImage &image, QPointF origin, double scale, const std::vector<float> &x,
    const std::vector<float> &y)
{
    const auto at = [&](QPointF twips) { return DevicePoint(twips, origin, scale); };
    Scene scene;
    scene.client = QRectF(origin, Client.size() / TwipsAt96Dpi * scale) & QRectF(image.rect());
    scene.tangents[0] = { at({ x[0], y[0] }), at({ x[1], y[1] }) };
    scene.tangents[1] = { at({ x[7], y[7] }), at({ x[6], y[6] }) };
    for (int k = 1; k <= 100; ++k)
        scene.curve.emplace_back(
            at(CurvePoint(x, y, (k - 1) / 100.0)), at(CurvePoint(x, y, k / 100.0)));
    // Controls sit on whole logical pixels.
    const auto box = [&](const QRectF &twips) {
        const QPointF corner(Pixels(twips.left()), Pixels(twips.top()));
        const QSizeF size(Pixels(twips.width()), Pixels(twips.height()));
        return QRectF(origin + corner * scale, size * scale).adjusted(-1, -1, 1, 1);
    };
    for (int i = 0; i < 8; ++i)
        scene.controls.push_back(box(MarkerBox(i, x[i], y[i])));
    for (const QRectF &readOut : { TextInd, TextX, TextY })
        scene.controls.push_back(box(readOut));
    return scene;
}

double Distance(QPointF p, const QLineF &segment)
{
    const QPointF ab = segment.p2() - segment.p1();
    const double length2 = QPointF::dotProduct(ab, ab);
    const double s = length2 > 0
        ? std::clamp(QPointF::dotProduct(p - segment.p1(), ab) / length2, 0.0, 1.0)
        : 0.0;
    const QPointF d = p - (segment.p1() + s * ab);
    return std::hypot(d.x(), d.y());
}

bool Near(QPointF p, const std::vector<QLineF> &segments, double distance)
{
    return std::any_of(segments.begin(), segments.end(),
        [&](const QLineF &segment) { return Distance(p, segment) <= distance; });
}

// The points of a segment on the area, at most a device pixel apart, its ends among them where
// the area holds them. Counted from the end nearer the area: a far end that a drag threw millions
// of pixels away costs no steps there and no precision here.
std::vector<QPointF> Visible(const QLineF &segment, const QRectF &area)
{
    const auto far = [&](QPointF p) { return QLineF(p, area.center()).length(); };
    const bool forward = far(segment.p1()) <= far(segment.p2());
    const QPointF from = forward ? segment.p1() : segment.p2();
    const QPointF to = forward ? segment.p2() : segment.p1();
    const double length = QLineF(from, to).length();
    if (!std::isfinite(length))
        return {};
    const QPointF along = length > 0 ? (to - from) / length : QPointF();
    // Where it enters and leaves the area, as distances from `from` (Liang-Barsky).
    double enter = 0;
    double leave = length;
    const auto clip = [&](double start, double step, double low, double high) {
        if (step == 0) {
            if (start < low || start > high)
                leave = -1;
            return;
        }
        const double a = (low - start) / step;
        const double b = (high - start) / step;
        enter = std::max(enter, std::min(a, b));
        leave = std::min(leave, std::max(a, b));
    };
    clip(from.x(), along.x(), area.left(), area.right());
    clip(from.y(), along.y(), area.top(), area.bottom());
    std::vector<QPointF> points;
    if (enter > leave)
        return points;
    const int steps = static_cast<int>(std::ceil(leave - enter));
    for (int i = 0; i <= steps; ++i)
        points.push_back(from + (steps > 0 ? enter + (leave - enter) * i / steps : enter) * along);
    return points;
}

// Where a point can be judged: on the client area, clear of its edges and of every control.
bool InSight(const Scene &scene, QPointF p)
{
    return scene.client.adjusted(2, 2, -2, -2).contains(p)
        && std::none_of(scene.controls.begin(), scene.controls.end(),
            [&](const QRectF &control) { return control.adjusted(-2, -2, 2, 2).contains(p); });
}

QString At(const QString &what, QPointF p)
{
    return QStringLiteral("%1 at device pixel %2,%3").arg(what).arg(p.x()).arg(p.y());
}

// Whether the device pixel that holds `at`, or one of its eight neighbours, is of a colour that
// `accepts` takes.
template <typename Accepts> bool AnyNear(const QImage &image, QPointF at, Accepts accepts)
{
    const QPoint centre(static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y())));
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (const QPoint p = centre + QPoint(dx, dy); image.valid(p) && accepts(image.pixel(p)))
                return true;
    return false;
}

} // namespace

QRgb Background(const QImage &image, const QRect &client)
{
    QHash<QRgb, int> counts;
    for (int y = client.top(); y <= client.bottom(); y += 3)
        for (int x = client.left(); x <= client.right(); x += 3)
            ++counts[image.pixel(x, y)];
    const auto commonest = std::max_element(counts.begin(), counts.end());
    return commonest == counts.end() ? 0 : commonest.key();
}

QPointF DevicePoint(QPointF twips, QPointF origin, double scale)
{
    return origin + twips / TwipsAt96Dpi * scale;
}

QString CurveProblem(const QImage &image, QPointF origin, double scale, const std::vector<float> &x,
    const std::vector<float> &y)
{
    const Scene scene = Expected(image, origin, scale, x, y);
    // Whole device pixels: where its size is not, its last one may be the page's (in a browser).
    const QRect client = scene.client.toRect() & image.rect();
    if (client.isEmpty())
        return {};
    const QRgb background = Background(image, client);
    const auto ink = [&](QPointF p) {
        return AnyNear(
            image, p, [&](QRgb pixel) { return pixel != background && pixel != Red.rgb(); });
    };
    // The whole curve: its 101 samples and the device pixels between them, wherever in sight.
    for (const QLineF &segment : scene.curve)
        for (const QPointF p : Visible(segment, scene.client))
            if (InSight(scene, p) && !ink(p))
                return At("no curve", p);
    // Where the curve does not cover them.
    for (const QLineF &tangent : scene.tangents)
        for (const double s : { 0.3, 0.5, 0.7, 0.9 })
            if (const QPointF p = tangent.pointAt(s); InSight(scene, p)
                && !Near(p, scene.curve, Slack + 1)
                && !AnyNear(image, p, [](QRgb pixel) { return pixel == Red.rgb(); }))
                return At("no red tangent", p);

    std::vector<QLineF> lines = scene.curve;
    lines.insert(lines.end(), std::begin(scene.tangents), std::end(scene.tangents));
    for (int row = client.top(); row <= client.bottom(); ++row)
        for (int column = client.left(); column <= client.right(); ++column) {
            const QPointF centre(column + 0.5, row + 0.5);
            if (image.pixel(column, row) == background
                || std::any_of(scene.controls.begin(), scene.controls.end(),
                    [&](const QRectF &control) { return control.contains(centre); })
                || Near(centre, lines, Slack))
                continue;
            return At("stray ink " + QColor(image.pixel(column, row)).name(), centre);
        }
    return {};
}

std::optional<QPointF> FindCurve(
    const QImage &image, double scale, const std::vector<float> &x, const std::vector<float> &y)
{
    // The point of a red tangent farthest from the curve (to a quarter pixel), clear of the
    // controls, as it lies from the client area's corner; every red pixel may be where it landed.
    const Scene scene = Expected(image, {}, scale, x, y);
    std::optional<QPointF> anchor;
    double clearance = 0;
    for (const QLineF &tangent : scene.tangents)
        for (int twentieths = 6; twentieths < 20; ++twentieths)
            for (const QPointF p = tangent.pointAt(twentieths / 20.0);
                 InSight(scene, p) && !Near(p, scene.curve, clearance); clearance += 0.25)
                anchor = p;
    if (!anchor)
        return std::nullopt;
    // Of the corners that pass, the one where most samples land on ink exactly.
    const auto hits = [&](QPoint corner, QRgb background) {
        int count = 0;
        for (int k = 0; k <= 100; ++k) {
            const QPointF p = DevicePoint(CurvePoint(x, y, k / 100.0), corner, scale);
            const QPoint pixel(
                static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())));
            count += image.valid(pixel) && image.pixel(pixel) != background ? 1 : 0;
        }
        return count;
    };
    QSet<QPoint> tried;
    for (int row = 0; row < image.height(); ++row)
        for (int column = 0; column < image.width(); ++column)
            // The rasteriser may have put the anchor's pixel beside it.
            for (int step = 0; step < 9 && image.pixel(column, row) == Red.rgb(); ++step) {
                const QPoint origin = (QPointF(column + 0.5, row + 0.5) - *anchor).toPoint()
                    + QPoint(step % 3 - 1, step / 3 - 1);
                // The whole client area lies in the image, but for the pixel that rounding the
                // origin may take it past the image's edge.
                const QRectF client(origin, Client.size() / TwipsAt96Dpi * scale);
                if (tried.contains(origin)
                    || !QRectF(image.rect()).adjusted(-1, -1, 1, 1).contains(client))
                    continue;
                tried.insert(origin);
                if (!CurveProblem(image, origin, scale, x, y).isEmpty())
                    continue;
                const QRgb background = Background(image,
                    Expected(image, origin, scale, x, y).client.toAlignedRect() & image.rect());
                QPoint best = origin;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const QPoint near = origin + QPoint(dx, dy);
                        if (hits(near, background) > hits(best, background)
                            && CurveProblem(image, near, scale, x, y).isEmpty())
                            best = near;
                    }
                return QPointF(best);
            }
    return std::nullopt;
}

} // namespace testsupport
