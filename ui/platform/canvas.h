#pragma once

#include <QColor>
#include <QLineF>
#include <QRect>
#include <QWidget>

#include <vector>

namespace platform {

// A form's client area, beneath its child controls. What is drawn is kept as a list of strokes
// that the paint event draws where the window needs it, so the picture survives exposure,
// resizing and a change of scale with no image of its own. Coordinates are logical pixels.
class Canvas : public QWidget {
public:
    Canvas(const QColor &background, const QColor &foreground, QWidget *parent);

    void Cls();
    void Line(QPointF from, QPointF to, const QColor &colour);
    void Line(QPointF from, QPointF to); // in the foreground colour
    void PSet(QPointF at); // in the foreground colour

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Stroke {
        QLineF line; // a point where both ends are one
        QRgb colour;
        QRect bounds; // the pixels it may touch
    };

    void add(QLineF line, QRgb colour);
    void invalidate(const QRect &area); // asks for it to be painted again

    QColor m_background;
    QRgb m_foreground;
    std::vector<Stroke> m_strokes; // since the last Cls, in drawing order
    QRect m_requested; // asked to be repainted since the last paint
};

} // namespace platform
