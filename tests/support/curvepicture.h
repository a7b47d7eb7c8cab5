// The editor's picture judged from any image of it: an offscreen window's backing store, or a
// screenshot of an X display, a Wayland compositor or a browser page.
#pragma once

#include "testdesign.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QString>

#include <optional>
#include <vector>

namespace testsupport {

const QColor Red(255, 0, 0);
const QColor LightYellow(255, 255, 192); // the About window's background

// A point in twips of the client area as a device pixel position in an image, where the client
// area's top-left corner lies at `origin` and `scale` device pixels stand for 15 twips.
QPointF DevicePoint(QPointF twips, QPointF origin, double scale);

// The client area's commonest colour, its background.
QRgb Background(const QImage &image, const QRect &client);

// Empty if the image shows the curve over control points x, y (twips) and nothing else: the red
// end tangents, and the whole curve (its 101 samples and every device pixel between them)
// wherever no control covers it, and no pixel other than the background (the client area's
// commonest colour) away from them and from the controls (the markers with their corners on the
// points, the read-outs). Otherwise what is wrong.
QString CurveProblem(const QImage &image, QPointF origin, double scale,
    const std::vector<float> &x = InitialX, const std::vector<float> &y = InitialY);

// The client area's top-left corner in an image that shows the whole client area with the curve
// over x, y somewhere in it, such as a whole screen; empty if it shows it nowhere.
std::optional<QPointF> FindCurve(const QImage &image, double scale,
    const std::vector<float> &x = InitialX, const std::vector<float> &y = InitialY);

} // namespace testsupport
