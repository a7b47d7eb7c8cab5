// Draws the program's icon: a degree-7 curve with its red end tangents and two end markers. One
// drawing, kept as a table of shapes on a 32 x 32 grid, becomes PNG files at every size the
// desktop asks for, a scalable SVG file, and the Windows icon file with the 16 and 32 images.
// Build the target bezier7_drawicon and run it with app/icons as its argument to redraw them.

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cstdio>

namespace {

constexpr double Grid = 32;
// The desktop's sizes, then the two a web app's manifest offers to home screens and shelves.
constexpr int Sizes[] = { 16, 24, 32, 48, 64, 128, 256, 192, 512 };
constexpr int DotsPerMeter = 3780; // 96 dots per inch, whatever screen the program runs beside

struct Shape {
    enum Kind { Frame, Line, Curve, Dot } kind;
    QList<QPointF> points; // Frame: top-left, bottom-right; Curve: start, two controls, end
    QColor stroke; // invalid: none
    double width;
    QColor fill; // invalid: none
};

const QPointF Start(26, 20);
const QPointF End(26, 11);
const QColor Grey(120, 120, 120);
const QColor Paper(250, 250, 245);
const QColor Red(255, 0, 0);
const QColor Black(0, 0, 0);
const QColor Blue(40, 90, 200);
constexpr double FrameRadius = 5;
constexpr double DotRadius = 2.5;

const Shape Drawing[] = {
    { Shape::Frame, { { 1.5, 1.5 }, { 30.5, 30.5 } }, Grey, 1, Paper },
    { Shape::Line, { Start, { 16, 24 } }, Red, 1.5, {} },
    { Shape::Line, { End, { 16, 7 } }, Red, 1.5, {} },
    { Shape::Curve, { Start, { 6, 28 }, { 6, 3 }, End }, Black, 2, {} },
    { Shape::Dot, { Start }, {}, 0, Blue },
    { Shape::Dot, { End }, {}, 0, Blue },
};

void Paint(QPainter &painter, const Shape &shape)
{
    painter.setPen(shape.stroke.isValid() ? QPen(shape.stroke, shape.width) : QPen(Qt::NoPen));
    painter.setBrush(shape.fill.isValid() ? QBrush(shape.fill) : QBrush(Qt::NoBrush));
    const QList<QPointF> &p = shape.points;
    switch (shape.kind) {
    case Shape::Frame:
        painter.drawRoundedRect(QRectF(p[0], p[1]), FrameRadius, FrameRadius);
        break;
    case Shape::Line:
        painter.drawLine(p[0], p[1]);
        break;
    case Shape::Curve: {
        QPainterPath curve(p[0]);
        curve.cubicTo(p[1], p[2], p[3]);
        painter.drawPath(curve);
        break;
    }
    case Shape::Dot:
        painter.drawEllipse(p[0], DotRadius, DotRadius);
        break;
    }
}

QImage Draw(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDotsPerMeterX(DotsPerMeter);
    image.setDotsPerMeterY(DotsPerMeter);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / Grid, size / Grid);
    for (const Shape &shape : Drawing)
        Paint(painter, shape);
    return image;
}

// The pen as QPainter draws it by default: square caps and bevelled joins.
QString SvgPaint(const Shape &shape)
{
    const QString fill = shape.fill.isValid() ? shape.fill.name() : QStringLiteral("none");
    if (!shape.stroke.isValid())
        return QStringLiteral(R"(fill="%1")").arg(fill);
    return QStringLiteral(
        R"(fill="%1" stroke="%2" stroke-width="%3" stroke-linecap="square" stroke-linejoin="bevel")")
        .arg(fill, shape.stroke.name())
        .arg(shape.width);
}

QString SvgElement(const Shape &shape)
{
    const QList<QPointF> &p = shape.points;
    switch (shape.kind) {
    case Shape::Frame:
        return QStringLiteral(R"(<rect x="%1" y="%2" width="%3" height="%4" rx="%5" %6/>)")
            .arg(p[0].x())
            .arg(p[0].y())
            .arg(p[1].x() - p[0].x())
            .arg(p[1].y() - p[0].y())
            .arg(FrameRadius)
            .arg(SvgPaint(shape));
    case Shape::Line:
        return QStringLiteral(R"(<line x1="%1" y1="%2" x2="%3" y2="%4" %5/>)")
            .arg(p[0].x())
            .arg(p[0].y())
            .arg(p[1].x())
            .arg(p[1].y())
            .arg(SvgPaint(shape));
    case Shape::Curve:
        return QStringLiteral(R"(<path d="M %1 %2 C %3 %4 %5 %6 %7 %8" %9/>)")
            .arg(p[0].x())
            .arg(p[0].y())
            .arg(p[1].x())
            .arg(p[1].y())
            .arg(p[2].x())
            .arg(p[2].y())
            .arg(p[3].x())
            .arg(p[3].y())
            .arg(SvgPaint(shape));
    case Shape::Dot:
        return QStringLiteral(R"(<circle cx="%1" cy="%2" r="%3" %4/>)")
            .arg(p[0].x())
            .arg(p[0].y())
            .arg(DotRadius)
            .arg(SvgPaint(shape));
    }
    return {};
}

bool WriteSvg(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << QStringLiteral(R"(<svg xmlns="http://www.w3.org/2000/svg" width="%1" height="%1" )"
                          R"(viewBox="0 0 %1 %1">)")
               .arg(Grid)
        << '\n';
    for (const Shape &shape : Drawing)
        out << "  " << SvgElement(shape) << '\n';
    out << "</svg>\n";
    return out.status() == QTextStream::Ok;
}

QByteArray Png(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// An .ico file whose entries are PNG images, as Windows reads them since Vista.
bool WriteIco(const QString &path, const QList<QImage> &images)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(images.size());
    QList<QByteArray> pngs;
    for (const QImage &image : images)
        pngs << Png(image);
    quint32 offset = 6 + 16 * quint32(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        out << quint8(images[i].width()) << quint8(images[i].height()) << quint8(0) << quint8(0)
            << quint16(1) << quint16(32) << quint32(pngs[i].size()) << offset;
        offset += quint32(pngs[i].size());
    }
    for (const QByteArray &png : pngs)
        out.writeRawData(png.constData(), int(png.size()));
    return out.status() == QDataStream::Ok;
}

} // namespace

// Raster painting into images needs no display, nor an application object.
int main(int argc, char **argv)
{
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    bool written = true;
    for (const int size : Sizes)
        written = Draw(size).save(folder.filePath(QStringLiteral("bezier7-%1.png").arg(size)))
            && written;
    written = WriteSvg(folder.filePath(QStringLiteral("bezier7.svg"))) && written;
    written = WriteIco(folder.filePath(QStringLiteral("bezier7.ico")), { Draw(16), Draw(32) })
        && written;
    if (!written)
        std::fprintf(stderr, "bezier7_drawicon: cannot write every icon into %s\n",
            qPrintable(folder.absolutePath()));
    return written ? 0 : 1;
}
