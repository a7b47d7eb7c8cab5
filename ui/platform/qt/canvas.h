// The client area's drawing, kept as strokes and painted where the window needs it.
#pragma once

#include <QLineF>
#include <QRect>
#include <QWidget>

#include <vector>

namespace platform {

// A form's client area, beneath its child controls. What is drawn is kept as a list of strokes
// that the paint event draws where the window needs it, so the picture survives exposure,
// resizing and a change of scale with no image of its own. Coordinates are logical pixels; the
// background is the palette's.
class Canvas : public QWidget {
public:
    explicit Canvas(QWidget *parent);

    void Cls();
    void Line(const QLineF &line, QRgb colour); // a point where both ends are one

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct Stroke {
        QLineF line;
        QRgb colour;
        QRect bounds; // the pixels it may touch
    };

    void invalidate(const QRect &area); // asks for it to be painted again

    std::vector<Stroke> m_strokes; // since the last Cls, in drawing order
    QRect m_requested; // asked to be repainted since the last paint
};

} // namespace platform
