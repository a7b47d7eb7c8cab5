// Draws the program's icon: a degree-7 curve with its red end tangents and two end markers, at
// 16 x 16 and 32 x 32, as PNG files and as one Windows icon file holding both.
// Build the target bezier7_drawicon and run it in app/icons to redraw them.

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

QImage Draw(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    painter.setPen(QPen(QColor(120, 120, 120), 1));
    painter.setBrush(QColor(250, 250, 245));
    painter.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 5, 5);

    const QPointF start(26, 20);
    const QPointF end(26, 11);
    const QPointF startControl(6, 28);
    const QPointF endControl(6, 3);
    painter.setPen(QPen(QColor(255, 0, 0), 1.5));
    painter.drawLine(start, QPointF(16, 24));
    painter.drawLine(end, QPointF(16, 7));
    QPainterPath curve(start);
    curve.cubicTo(startControl, endControl, end);
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(curve);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 90, 200));
    painter.drawEllipse(start, 2.5, 2.5);
    painter.drawEllipse(end, 2.5, 2.5);
    return image;
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
void WriteIco(const QString &path, const QList<QImage> &images)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
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
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    const QImage small = Draw(16);
    const QImage large = Draw(32);
    small.save(QStringLiteral("bezier7-16.png"));
    large.save(QStringLiteral("bezier7-32.png"));
    WriteIco(QStringLiteral("bezier7.ico"), { small, large });
    return 0;
}
