// The picture checks of the real-window tests for tests written in other languages, on screenshots
// saved as files:
//   picture design                        the control points at start-up: x0 y0 ... x7 y7, twips
//   picture curve FILE SCALE x0 y0 ... y7  where the client area showing the curve over these
//                                          points lies: its top and left in pixels / SCALE
//   picture box FILE RRGGBB                the bounds of the pixels of that colour: left top right
//                                          bottom (right and bottom exclusive), or "none"
// A check that fails prints what is wrong and exits with status 1.
#include "curvepicture.h"

#include <QCoreApplication>
#include <QImage>
#include <QTextStream>

#include <cmath>

using namespace testsupport;

namespace {

int Fail(const QString &what)
{
    QTextStream(stdout) << what << '\n';
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    QTextStream out(stdout);
    const QString command = arguments.value(0);
    if (command == QLatin1String("design") && arguments.size() == 1) {
        for (std::size_t i = 0; i < InitialX.size(); ++i)
            out << InitialX[i] << ' ' << InitialY[i] << (i + 1 < InitialX.size() ? ' ' : '\n');
        return 0;
    }
    const QImage image = QImage(arguments.value(1)).convertToFormat(QImage::Format_RGB32);
    if (command == QLatin1String("curve") && arguments.size() == 19 && !image.isNull()) {
        const double scale = arguments[2].toDouble();
        std::vector<float> x;
        std::vector<float> y;
        for (int i = 3; i < 19; i += 2) {
            x.push_back(arguments[i].toFloat());
            y.push_back(arguments[i + 1].toFloat());
        }
        const std::optional<QPointF> origin = FindCurve(image, scale, x, y);
        if (!origin)
            return Fail(QStringLiteral("%1 shows the curve nowhere").arg(arguments[1]));
        out << std::lround(origin->y() / scale) << ' ' << std::lround(origin->x() / scale) << '\n';
        return 0;
    }
    if (command == QLatin1String("box") && arguments.size() == 3 && !image.isNull()) {
        const QRgb colour = QColor(QLatin1Char('#') + arguments[2]).rgb();
        QRect box;
        for (int row = 0; row < image.height(); ++row)
            for (int column = 0; column < image.width(); ++column)
                if (image.pixel(column, row) == colour)
                    box |= QRect(column, row, 1, 1);
        if (box.isEmpty())
            out << "none\n";
        else
            out << box.left() << ' ' << box.top() << ' ' << box.right() + 1 << ' '
                << box.bottom() + 1 << '\n';
        return 0;
    }
    return Fail(
        QStringLiteral("usage: picture design | curve FILE SCALE x0 y0 ... x7 y7 | box FILE "
                       "RRGGBB (or no such picture)"));
}
