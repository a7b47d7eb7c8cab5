#pragma once

#include <QImage>
#include <QLineF>
#include <QMainWindow>
#include <QWidget>

#include <array>
#include <vector>

class QLineEdit;
class QPushButton;

namespace bench {

// A client area that shows an image and nothing else.
class ImageView : public QWidget {
public:
    explicit ImageView(QWidget *parent);

    QImage image;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The editor window built directly with Qt and nothing of ours: the same size, menu and eleven
// controls at the same places with the same captions, in Qt's default style and font, and a
// client area that shows an image.
class FloorWindow {
public:
    FloorWindow();
    FloorWindow(const FloorWindow &) = delete;
    FloorWindow &operator=(const FloorWindow &) = delete;

    QMainWindow window;
    ImageView *client;
    std::array<QLineEdit *, 3> readOuts {}; // index, x, y
    QPushButton *marker = nullptr; // handle 2
};

// The toolkit work one drag event needs, done directly on a FloorWindow: three read-out texts,
// one moved button, the image cleared, the two tangents and the curve's 100 segments drawn.
// Successive steps alternate between two positions and texts, as the drag does.
class FloorDrag {
public:
    explicit FloorDrag(FloorWindow &floor);

    void step();

private:
    FloorWindow &m_floor;
    std::array<QLineF, 2> m_tangents;
    std::vector<QLineF> m_segments; // the initial curve through its 101 samples, in pixels
    QColor m_background;
    QColor m_foreground;
    bool m_odd = false;
};

} // namespace bench
