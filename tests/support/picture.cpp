// Screenshots judged as the real-window tests judge a window, for tests in other languages (the
// web page's); RATIO is device pixels per logical pixel:
//   picture design                       the control points at start-up: x0 y0 ... x7 y7, twips
//   picture curve SHOT RATIO x0 y0 ...   the editor's client area anywhere in the picture, at the
//                                        design's size, the curve over these points in it and
//                                        nothing else, its tangents exactly red as only aliased
//                                        lines at the device's pixels draw them; prints its left
//                                        and top, logical pixels; LEFT TOP after the points ask
//                                        for it at that corner
//   picture box SHOT RATIO RRGGBB        where that colour is: left top width height, logical
//   picture none SHOT RATIO RRGGBB       that colour nowhere
// Exits 1, saying what is wrong, where the picture is not so.
#include "curvepicture.h"

#include <QImage>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace testsupport;

namespace {

int Fail(const QString &problem)
{
    std::printf("%s\n", qPrintable(problem));
    return 1;
}

int Curve(const QImage &image, double ratio, const std::vector<float> &x,
    const std::vector<float> &y, std::optional<QPointF> found)
{
    const QString problem = found ? CurveProblem(image, *found * ratio, ratio, x, y) : QString();
    if (!problem.isEmpty())
        return Fail(problem);
    found = found ? *found * ratio : FindCurve(image, ratio, x, y);
    if (!found)
        return Fail(QStringLiteral("no client area with the curve anywhere"));
    const QPoint origin = found->toPoint();
    const QSizeF size = Client.size() / TwipsAt96Dpi * ratio;
    // Where the page around it differs in colour, the client area starts where the curve is drawn
    // from and ends on a device pixel next to the design's size, in the colour most of it shows:
    // along most of its rows and columns, as the curve, its tangents and a marker dragged onto an
    // edge cross only a few of them.
    const QRgb client = Background(image, QRect(origin, size.toSize()) & image.rect());
    const auto in = [&](QPoint at) { return image.valid(at) && image.pixel(at) == client; };
    const auto ends = [&](QPoint start, QPoint step, double length) {
        const auto at
            = [&](double end) { return in(start + step * (end - 1)) && !in(start + step * end); };
        return at(std::floor(length)) || at(std::ceil(length));
    };
    int rows = 0;
    int columns = 0;
    for (int row = 0; row < size.height(); ++row)
        rows += static_cast<int>(
            !in(origin + QPoint(-1, row)) && ends(origin + QPoint(0, row), { 1, 0 }, size.width()));
    for (int column = 0; column < size.width(); ++column)
        columns += static_cast<int>(ends(origin + QPoint(column, 0), { 0, 1 }, size.height()));
    if (image.pixel(0, 0) != client && (2 * rows < size.height() || 2 * columns < size.width()))
        return Fail(QStringLiteral("the client area is not 9075 x 5415 twips at the curve"));
    std::printf("%.12g %.12g\n", origin.x() / ratio, origin.y() / ratio);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const QString verb = argc > 1 ? argv[1] : "";
    if (verb == "design") {
        for (std::size_t i = 0; i < InitialX.size(); ++i)
            std::printf("%g %g\n", InitialX[i], InitialY[i]);
        return 0;
    }
    const QImage image = QImage(argc > 2 ? argv[2] : "").convertToFormat(QImage::Format_RGB32);
    const double ratio = argc > 3 ? std::atof(argv[3]) : 0;
    if (image.isNull() || ratio <= 0)
        return Fail(QStringLiteral("usage: picture design | curve|box|none SHOT RATIO ..."));
    if (verb == "curve" && (argc == 20 || argc == 22)) {
        std::vector<float> x;
        std::vector<float> y;
        for (int i = 4; i < 20; i += 2) {
            x.push_back(std::strtof(argv[i], nullptr));
            y.push_back(std::strtof(argv[i + 1], nullptr));
        }
        return Curve(image, ratio, x, y,
            argc == 22 ? std::optional(QPointF(std::atof(argv[20]), std::atof(argv[21])))
                       : std::nullopt);
    }
    const QRgb colour = 0xff000000 | QString(argc > 4 ? argv[4] : "").toUInt(nullptr, 16);
    QRect box;
    for (int row = 0; row < image.height(); ++row)
        for (int column = 0; column < image.width(); ++column)
            if (image.pixel(column, row) == colour)
                box |= QRect(column, row, 1, 1);
    if (verb == "none")
        return box.isNull() ? 0 : Fail(QStringLiteral("the colour is still shown"));
    if (verb != "box" || box.isNull())
        return Fail(QStringLiteral("the colour is nowhere"));
    std::printf("%g %g %g %g\n", box.left() / ratio, box.top() / ratio, box.width() / ratio,
        box.height() / ratio);
    return 0;
}
