#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <vector>

namespace platform {

// A form's client area. Drawing goes into an off-screen image that the paint event only copies
// to the screen, so the picture survives exposure and resizing; child controls lie on top.
// Coordinates are logical pixels; the image has the screen's device resolution.
class Canvas : public QWidget {
public:
    Canvas(const QColor &background, const QColor &foreground, QWidget *parent);

    void Cls();
    void Line(QPointF from, QPointF to, const QColor &colour);
    void PSet(QPointF at, const QColor &colour);

    // The colour of Line -(x2, y2) and PSet.
    const QColor &foreground() const { return m_foreground; }

    // The picture as drawn so far, in device pixels.
    const QImage &image();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void customEvent(QEvent *event) override;

private:
    struct Stroke {
        QPointF from;
        QPointF to;
        QRgb colour;
        bool point;
    };

    void draw(const Stroke &stroke);
    void ensureImageCovers(QSize logicalSize);
    void fillBackground(const QRect &deviceRect);
    void changed(const QRect &deviceRect);
    void finishPainting();

    QImage m_image;
    QPainter m_painter; // active between the first stroke and the next presentation
    QRgb m_background;
    QColor m_foreground;
    QRgb m_penColour = 0;
    std::vector<Stroke> m_strokes; // everything drawn since the last Cls, to redraw on growth
    QRect m_inked; // device pixels drawn on since the last Cls
    QRect m_unpresented; // device pixels changed since the last update request
    bool m_presentPosted = false;
};

} // namespace platform
