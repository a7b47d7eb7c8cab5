#include "testsupport.h"

#include "testdesign.h"

#include <QApplication>
#include <QBackingStore>
#include <QFontMetrics>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <random>

namespace testsupport {

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

QString Text(const QMainWindow *window, const char *name)
{
    return Control(window, name)->property("text").toString();
}

double TwipsPerPixel()
{
    return 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInch();
}

double Scale(const QWidget *window)
{
    return window->devicePixelRatioF() * 15 / TwipsPerPixel();
}

QRect Placed(const QRectF &twips)
{
    const double perPixel = TwipsPerPixel();
    return { Pixels(twips.left(), perPixel), Pixels(twips.top(), perPixel),
        Pixels(twips.width(), perPixel), Pixels(twips.height(), perPixel) };
}

QImage Screen(const QMainWindow *window)
{
    // Twice: an update request handled may post another.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    // The raster backing store paints into an image at device resolution.
    const QPaintDevice *device = window->backingStore()->paintDevice();
    if (device->devType() != QInternal::Image)
        return {};
    QImage image
        = static_cast<const QImage *>(device)->copy().convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(1); // positions in it are device pixels
    return image;
}

QPointF Origin(const QMainWindow *window)
{
    return QPointF(ClientArea(window)->mapTo(window, QPoint())) * window->devicePixelRatioF();
}

QRect DeviceRect(const QMainWindow *window, const QWidget *control)
{
    const double ratio = window->devicePixelRatioF();
    return QRectF(
        QPointF(control->mapTo(window, QPoint())) * ratio, QSizeF(control->size()) * ratio)
        .toAlignedRect();
}

QImage Picture(const QMainWindow *window)
{
    QList<QWidget *> hidden;
    for (QWidget *control : ClientArea(window)->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
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
    const QRect area = DeviceRect(window, control) & with.rect();
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
    return QString::asprintf("%s: ink %dx%d at %d,%d in %dx%d, whole %dx%d, %g pt %d high",
        qPrintable(control->objectName()), ink.width(), ink.height(), ink.x(), ink.y(), box.width(),
        box.height(), whole.width(), whole.height(), minimumPoints,
        qCeil(tallest.height() * ratio));
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
    moveBy(ClientArea(m_window)->mapTo(m_window, QPoint()), xTwips, yTwips, modifiers);
}

void Pointer::moveOnto(
    const QWidget *control, float dxTwips, float dyTwips, Qt::KeyboardModifiers modifiers)
{
    moveBy(control->mapTo(m_window, QPoint()), dxTwips, dyTwips, modifiers);
}

void Pointer::moveBy(QPoint from, float dxTwips, float dyTwips, Qt::KeyboardModifiers modifiers)
{
    m_at = from + QPoint(Pixels(dxTwips, TwipsPerPixel()), Pixels(dyTwips, TwipsPerPixel()));
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

void Pointer::send(QEvent::Type type, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    // The window system's way in, delivered at once; half a second apart, so that no two presses
    // make a double click.
    QWindow *window = m_window->windowHandle();
    m_timestamp += 500;
    qt_handleMouseEvent(
        window, m_at, window->mapToGlobal(m_at), m_held, button, type, modifiers, m_timestamp);
    if (m_loop == EventLoop::Runs)
        QCoreApplication::processEvents();
}

} // namespace testsupport
