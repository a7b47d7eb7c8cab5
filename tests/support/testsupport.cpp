#include "testsupport.h"

#include "initialcurve.h"

#include <QApplication>
#include <QBackingStore>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QMainWindow>
#include <QProcess>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <random>

namespace testsupport {

QMainWindow *Window(const char *formName)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto found = std::find_if(windows.begin(), windows.end(),
        [&](const QWidget *window) { return window->objectName() == QLatin1String(formName); });
    return found == windows.end() ? nullptr : qobject_cast<QMainWindow *>(*found);
}

QWidget *ClientArea(const QMainWindow *window)
{
    return window->centralWidget();
}

QWidget *Control(const QMainWindow *window, const char *name)
{
    return ClientArea(window)->findChild<QWidget *>(QLatin1String(name));
}

void PrepareEnvironment()
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsSet("BEZIER7_SCALE"))
        qputenv("QT_SCALE_FACTOR", qgetenv("BEZIER7_SCALE"));
}

std::uint64_t Seed()
{
    bool set = false;
    std::uint64_t seed = qEnvironmentVariable("BEZIER7_SEED").toULongLong(&set);
    if (!set) {
        std::random_device device;
        seed = (std::uint64_t(device()) << 32) | device();
    }
    qInfo("seed %llu (BEZIER7_SEED=%llu repeats this run)", static_cast<unsigned long long>(seed),
        static_cast<unsigned long long>(seed));
    return seed;
}

QImage Screen(const QMainWindow *window)
{
    // Twice: an update request handled may post another.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    const QWidget *client = ClientArea(window);
    // The raster backing store paints into an image at device resolution.
    const QPaintDevice *device = client->window()->backingStore()->paintDevice();
    if (device->devType() != QInternal::Image)
        return {};
    const auto &store = *static_cast<const QImage *>(device);
    const double ratio = store.devicePixelRatio();
    const QRectF area(QPointF(client->mapTo(client->window(), QPoint(0, 0))) * ratio,
        QSizeF(client->size()) * ratio);
    const QRect shown = area.toAlignedRect() & store.rect();
    if (shown.isEmpty()) // a window too small to show any of its client area
        return {};
    QImage image = store.copy(shown).convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return image;
}

QImage Picture(const QMainWindow *window)
{
    const QList<QWidget *> controls
        = ClientArea(window)->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    QList<QWidget *> hidden;
    for (QWidget *control : controls)
        if (control->isVisible()) {
            control->hide();
            hidden.append(control);
        }
    // All of it again: at fractional scale factors a hidden control's edge pixels are not.
    ClientArea(window)->update();
    QImage picture = Screen(window);
    for (QWidget *control : hidden)
        control->show();
    QCoreApplication::processEvents();
    return picture;
}

namespace {

// The bounds of the control's text ink, in device pixels of the control.
QRect TextInk(const QMainWindow *window, QWidget *control)
{
    const QString text = control->property("text").toString();
    const QImage with = Screen(window);
    control->setProperty("text", QString());
    const QImage without = Screen(window);
    control->setProperty("text", text);
    const double ratio = with.devicePixelRatio();
    const QRect area
        = QRectF(QPointF(control->pos()) * ratio, QSizeF(control->size()) * ratio).toAlignedRect()
        & with.rect();
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (with.pixel(x, y) != without.pixel(x, y))
                ink |= QRect(x - area.x(), y - area.y(), 1, 1);
    return ink;
}

} // namespace

QString IllegibleText(const QMainWindow *window, QWidget *control, double minimumPoints)
{
    const QRect ink = TextInk(window, control);
    const double ratio = control->devicePixelRatioF();
    // Clear of a frame or bevel; a label has none.
    const int margin = control->inherits("QLabel") ? 0 : 1;
    const QRect box = QRect(QPoint(0, 0), (QSizeF(control->size()) * ratio).toSize())
                          .adjusted(margin, margin, -margin, -margin);
    // The larger box lies above the others at the client area's corner for the moment. Wrapped
    // text keeps its width, so that it wraps as before.
    const QRect geometry = control->geometry();
    const QWidgetList stacking
        = control->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    const bool wraps = control->property("wordWrap").toBool();
    control->raise();
    control->setGeometry(0, 0, geometry.width() * (wraps ? 1 : 3), geometry.height() * 3);
    const QRect whole = TextInk(window, control);
    control->setGeometry(geometry);
    if (const qsizetype above = stacking.indexOf(control) + 1; above < stacking.size())
        control->stackUnder(stacking[above]);
    QFont smallest = control->font();
    smallest.setPointSizeF(minimumPoints);
    const QRect tallest
        = QFontMetrics(smallest).tightBoundingRect(control->property("text").toString());
    if (!ink.isEmpty() && box.contains(ink) && whole.size() == ink.size()
        && ink.height() >= qCeil(tallest.height() * ratio))
        return {};
    return QStringLiteral("%1: ink %2x%3 at %4,%5 in %6x%7, whole %8x%9, %10 pt %11 high")
        .arg(control->objectName())
        .arg(ink.width())
        .arg(ink.height())
        .arg(ink.x())
        .arg(ink.y())
        .arg(box.width())
        .arg(box.height())
        .arg(whole.width())
        .arg(whole.height())
        .arg(minimumPoints)
        .arg(qCeil(tallest.height() * ratio));
}

QPoint DevicePixel(const QImage &image, float xTwips, float yTwips)
{
    const double scale = image.devicePixelRatio() / platform::TwipsPerPixel();
    return { static_cast<int>(std::lround(xTwips * scale)),
        static_cast<int>(std::lround(yTwips * scale)) };
}

bool HasColourNear(const QImage &image, float xTwips, float yTwips, QColor colour, int radius)
{
    const QPoint centre = DevicePixel(image, xTwips, yTwips);
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint p = centre + QPoint(dx, dy);
            if (image.valid(p) && image.pixelColor(p).rgb() == colour.rgb())
                return true;
        }
    return false;
}

int CountColour(const QImage &image, QColor colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour.rgb() ? 1 : 0;
    return count;
}

namespace {

double DistanceToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double s
        = length2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0) : 0.0;
    const QPointF d = p - (a + s * ab);
    return std::hypot(d.x(), d.y());
}

} // namespace

QString StrayInk(
    const QMainWindow *window, const std::vector<float> &x, const std::vector<float> &y)
{
    const QImage screen = Screen(window);
    const double scale
        = screen.devicePixelRatio() / platform::TwipsPerPixel(); // device pixels per twip
    const auto device = [&](QPointF twips) { return twips * scale; };
    std::vector<std::pair<QPointF, QPointF>> ink {
        { device({ x[0], y[0] }), device({ x[1], y[1] }) },
        { device({ x[7], y[7] }), device({ x[6], y[6] }) },
    };
    for (int k = 1; k <= 100; ++k)
        ink.emplace_back(
            device(CurvePoint(x, y, (k - 1) / 100.0)), device(CurvePoint(x, y, k / 100.0)));

    const double ratio = screen.devicePixelRatio();
    std::vector<QRectF> controls; // in device pixels
    for (const QWidget *control :
        ClientArea(window)->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (control->isVisible()) {
            const QRectF area(QPointF(control->pos()) * ratio, QSizeF(control->size()) * ratio);
            controls.push_back(area.adjusted(-1, -1, 1, 1));
        }
    const QRgb background = Background(window).rgb();
    for (int row = 0; row < screen.height(); ++row)
        for (int column = 0; column < screen.width(); ++column) {
            if (screen.pixel(column, row) == background)
                continue;
            const QPointF centre(column + 0.5, row + 0.5);
            if (std::any_of(controls.begin(), controls.end(),
                    [&](const QRectF &area) { return area.contains(centre); }))
                continue;
            if (std::none_of(ink.begin(), ink.end(), [&](const auto &segment) {
                    return DistanceToSegment(centre, segment.first, segment.second) <= 2.0;
                }))
                return QStringLiteral("stray ink %1 at device pixel %2,%3")
                    .arg(QColor(screen.pixel(column, row)).name())
                    .arg(column)
                    .arg(row);
        }
    return {};
}

QColor Foreground(const QWidget *window)
{
    return window->palette().color(QPalette::WindowText);
}

QColor Background(const QWidget *window)
{
    return window->palette().color(QPalette::Window);
}

Pointer::Pointer(QMainWindow *window, EventLoop loop)
    : m_window(window)
    , m_loop(loop)
{ }

Pointer::~Pointer()
{
    for (const Qt::MouseButton button : { Qt::LeftButton, Qt::RightButton, Qt::MiddleButton })
        if (m_held.testFlag(button))
            release(button);
}

void Pointer::moveTo(float xTwips, float yTwips, Qt::KeyboardModifiers modifiers)
{
    m_at = ClientArea(m_window)->mapTo(m_window, QPoint(0, 0)) + Pixels(xTwips, yTwips);
    send(QEvent::MouseMove, Qt::NoButton, modifiers);
}

void Pointer::moveOnto(
    const QWidget *control, float dxTwips, float dyTwips, Qt::KeyboardModifiers modifiers)
{
    m_at = control->mapTo(m_window, QPoint(0, 0)) + Pixels(dxTwips, dyTwips);
    send(QEvent::MouseMove, Qt::NoButton, modifiers);
}

void Pointer::press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    m_held |= button;
    send(QEvent::MouseButtonPress, button, modifiers);
}

void Pointer::release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    m_held &= ~Qt::MouseButtons(button);
    send(QEvent::MouseButtonRelease, button, modifiers);
}

QPoint Pointer::Pixels(float xTwips, float yTwips)
{
    return { static_cast<int>(std::lround(xTwips / platform::TwipsPerPixel())),
        static_cast<int>(std::lround(yTwips / platform::TwipsPerPixel())) };
}

void Pointer::send(QEvent::Type type, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    // The window system's way in, delivered at once; half a second apart, so that no two presses
    // make a double click.
    QWindow *window = m_window->windowHandle();
    m_timestamp += 500;
    qt_handleMouseEvent(window, m_at, window->mapToGlobal(QPointF(m_at)), m_held, button, type,
        modifiers, m_timestamp);
    if (m_loop == EventLoop::Runs)
        QCoreApplication::processEvents();
}

bool RunAgain(const QStringList &functions, const QList<QPair<QString, QString>> &changes)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto &[name, value] : changes)
        environment.insert(name, value);
    QProcess run;
    run.setProcessEnvironment(environment);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QCoreApplication::applicationFilePath(), functions);
    const bool passed = run.waitForFinished(60000) && run.exitStatus() == QProcess::NormalExit
        && run.exitCode() == 0;
    if (!passed)
        qWarning("%s", run.readAll().constData());
    return passed;
}

QString FontConfigOffering(const QString &folder, const QStringList &dejaVuFiles)
{
    const QDir dir(folder);
    dir.mkpath(QStringLiteral("fonts"));
    for (const QString &file : dejaVuFiles)
        QFile::copy(QStringLiteral("/usr/share/fonts/truetype/dejavu/") + file,
            dir.filePath(QStringLiteral("fonts/") + file));
    QString path = dir.filePath(QStringLiteral("fonts.conf"));
    QFile config(path);
    config.open(QIODevice::WriteOnly);
    config.write(
        QStringLiteral("<?xml version=\"1.0\"?>\n<fontconfig>\n  <dir>%1</dir>\n"
                       "  <cachedir>%2</cachedir>\n</fontconfig>\n")
            .arg(dir.filePath(QStringLiteral("fonts")), dir.filePath(QStringLiteral("cache")))
            .toUtf8());
    return path;
}

} // namespace testsupport
