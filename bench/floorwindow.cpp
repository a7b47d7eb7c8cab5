#include "floorwindow.h"

#include "form1design.h"
#include "look.h"
#include "testdesign.h"
#include "units.h"

#include <QLineEdit>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>

namespace bench {

using platform::ToQString;

namespace {

int Pixels(float twips)
{
    return testsupport::Pixels(twips, platform::TwipsPerPixel());
}

QPointF ToPixels(double xTwips, double yTwips)
{
    return QPointF(xTwips, yTwips) / platform::TwipsPerPixel();
}

} // namespace

ImageView::ImageView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // the image covers every pixel
}

void ImageView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), image, event->rect());
}

FloorWindow::FloorWindow()
    : client(new ImageView(&window))
{
    const platform::FormDesign &design = Form1Design();
    window.setWindowTitle(ToQString(design.caption));
    window.setCentralWidget(client);
    QMenuBar *bar = window.menuBar();
    bar->setNativeMenuBar(false);
    bar->addAction(ToQString(design.menu.front().caption));

    for (const platform::ControlDesign &item : design.controls) {
        QWidget *control = platform::CreateWidget(item.kind, ToQString(item.caption), client);
        if (item.kind == platform::ControlKind::PushButton && item.index == 2)
            marker = static_cast<QPushButton *>(control);
        if (item.kind == platform::ControlKind::TextBox)
            readOuts[item.name == "Text_Ind" ? 0
                    : item.name == "Text_x"  ? 1
                                             : 2]
                = static_cast<QLineEdit *>(control);
        control->setGeometry(
            Pixels(item.left), Pixels(item.top), Pixels(item.width), Pixels(item.height));
    }

    const QSize clientSize(Pixels(design.clientWidth), Pixels(design.clientHeight));
    client->image = QImage(clientSize, QImage::Format_RGB32);
    client->image.fill(window.palette().color(QPalette::Window));
    window.resize(clientSize.width(), clientSize.height() + bar->sizeHint().height());
}

FloorDrag::FloorDrag(FloorWindow &floor)
    : m_floor(floor)
    , m_background(floor.window.palette().color(QPalette::Window))
    , m_foreground(floor.window.palette().color(QPalette::WindowText))
{
    using testsupport::InitialX;
    using testsupport::InitialY;
    m_tangents = { QLineF(ToPixels(InitialX[0], InitialY[0]), ToPixels(InitialX[1], InitialY[1])),
        QLineF(ToPixels(InitialX[7], InitialY[7]), ToPixels(InitialX[6], InitialY[6])) };
    // The samples through float, as the editor passes them on.
    const CurveModel model = testsupport::ModelOver(InitialX, InitialY);
    QPointF last;
    for (int k = 0; k <= 100; ++k) {
        const double t = k / 100.0;
        const QPointF sample = ToPixels(static_cast<float>(model.Bezier(t, model.PointX)),
            static_cast<float>(model.Bezier(t, model.PointY)));
        if (k > 0)
            m_segments.emplace_back(last, sample);
        last = sample;
    }
}

void FloorDrag::step()
{
    static const QString Index = QStringLiteral("2");
    // Where the drag case's handle 2 goes, between its corner and 120 twips further in each
    // direction: the same texts, the same moves.
    using testsupport::InitialX;
    using testsupport::InitialY;
    static const QString Xs[2]
        = { QString::number(InitialX[2]), QString::number(InitialX[2] + 120) };
    static const QString Ys[2]
        = { QString::number(InitialY[2]), QString::number(InitialY[2] + 120) };
    static const QPoint Places[2] = { QPoint(Pixels(InitialX[2]), Pixels(InitialY[2])),
        QPoint(Pixels(InitialX[2] + 120), Pixels(InitialY[2] + 120)) };

    m_odd = !m_odd;
    m_floor.readOuts[0]->setText(Index);
    m_floor.readOuts[1]->setText(Xs[m_odd]);
    m_floor.readOuts[2]->setText(Ys[m_odd]);
    m_floor.marker->move(Places[m_odd]);

    QImage &image = m_floor.client->image;
    image.fill(m_background);
    QPainter painter(&image);
    // One call per colour: the cheapest way the toolkit offers to draw these segments.
    painter.setPen(QPen(Qt::red, 0)); // cosmetic: one device pixel, as the canvas draws
    painter.drawLines(m_tangents.data(), static_cast<int>(m_tangents.size()));
    painter.setPen(QPen(m_foreground, 0));
    painter.drawLines(m_segments.data(), static_cast<int>(m_segments.size()));
}

} // namespace bench
