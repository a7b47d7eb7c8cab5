// Screenshots judged as the real-window tests judge a window, for tests in other languages (the
// web page's); RATIO is device pixels per logical (CSS) pixel:
//   picture design                       the control points at start-up: x0 y0 ... x7 y7, twips
//   picture curve SHOT RATIO x0 y0 ...   the editor at the picture's left edge, its client area at
//                                        the design's size, the curve over these points in it and
//                                        nothing else; prints the client area's top, logical pixels
//   picture box SHOT RATIO RRGGBB        where that colour is: left top width height, logical
//   pixels picture none SHOT RATIO RRGGBB       that colour nowhere
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

int Curve(
    const QImage &image, double ratio, const std::vector<float> &x, const std::vector<float> &y)
{
    const std::optional<QPointF> found = FindCurve(image, ratio, x, y);
    if (!found || std::abs(found->x()) > 1)
        return Fail(QStringLiteral("no curve with its client area at the left edge"));
    const int top = static_cast<int>(std::lround(found->y() / ratio));
    if (QString problem = CurveProblem(image, QPointF(0, top * ratio), ratio, x, y);
        !problem.isEmpty())
        return Fail(problem);
    // The client area's colour reaches its right and bottom edges, and no further. The window
    // there ends on whole device pixels: at the design's size, or a whole one up to 8 pixels past
    // it (in the browser, where the page is smaller than the editor, its size is whole in CSS
    // pixels too).
    const auto edges = [ratio](double css) {
        std::vector<int> found;
        const int first = static_cast<int>(std::ceil(css));
        for (int whole = first; whole <= first + 8; ++whole)
            if (std::abs(whole * ratio - std::round(whole * ratio)) < 1e-6)
                found.push_back(static_cast<int>(std::lround(whole * ratio)));
        return found;
    };
    const auto ends = [&](int right, int bottom) {
        const QRgb client = image.pixel(2, bottom - 3);
        return image.valid(right, bottom) && image.pixel(right - 1, bottom - 1) == client
            && image.pixel(right, bottom - 1) != client && image.pixel(right - 1, bottom) != client;
    };
    bool designSize = false;
    for (const int right : edges(Client.width() / TwipsAt96Dpi))
        for (const int bottom : edges(top + Client.height() / TwipsAt96Dpi))
            designSize = designSize || ends(right, bottom);
    if (!designSize)
        return Fail(QStringLiteral("the client area is not 9075 x 5415 twips"));
    std::printf("%d\n", top);
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
    if (verb == "curve" && argc == 20) {
        std::vector<float> x;
        std::vector<float> y;
        for (int i = 4; i < 20; i += 2) {
            x.push_back(std::strtof(argv[i], nullptr));
            y.push_back(std::strtof(argv[i + 1], nullptr));
        }
        return Curve(image, ratio, x, y);
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
