#include "testsupport.h"

#include "canvas.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QPixmap>
#include <QProcess>
#include <QWindow>

#include <cmath>
#include <random>

namespace testsupport {

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

QImage Screen(const platform::Form &form)
{
    return form.canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage Picture(const platform::Form &form)
{
    return form.canvas()->image().copy();
}

QPoint DevicePixel(const QImage &image, float xTwips, float yTwips)
{
    const double scale = image.devicePixelRatio() / 15.0;
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

QColor Foreground(const platform::Form &form)
{
    return form.window()->palette().color(QPalette::WindowText);
}

QColor Background(const platform::Form &form)
{
    return form.window()->palette().color(QPalette::Window);
}

Pointer::Pointer(const platform::Form &form)
    : m_form(form)
{ }

Pointer::~Pointer()
{
    for (const Qt::MouseButton button : { Qt::LeftButton, Qt::RightButton, Qt::MiddleButton })
        if (m_held.testFlag(button))
            release(button);
}

QPoint Pointer::windowPoint(float xTwips, float yTwips) const
{
    const QPoint client = m_form.canvas()->mapTo(m_form.window(), QPoint(0, 0));
    return client
        + QPoint(static_cast<int>(std::lround(xTwips / 15.0)),
            static_cast<int>(std::lround(yTwips / 15.0)));
}

void Pointer::moveTo(float xTwips, float yTwips, Qt::KeyboardModifiers modifiers)
{
    m_at = windowPoint(xTwips, yTwips);
    QTest::mouseEvent(
        QTest::MouseMove, m_form.window()->windowHandle(), Qt::NoButton, modifiers, m_at);
}

void Pointer::moveOnto(
    const platform::Control &control, float dxTwips, float dyTwips, Qt::KeyboardModifiers modifiers)
{
    const QPoint corner = control.widget()->mapTo(m_form.window(), QPoint(0, 0));
    m_at = corner
        + QPoint(static_cast<int>(std::lround(dxTwips / 15.0)),
            static_cast<int>(std::lround(dyTwips / 15.0)));
    QTest::mouseEvent(
        QTest::MouseMove, m_form.window()->windowHandle(), Qt::NoButton, modifiers, m_at);
}

void Pointer::press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    m_held |= button;
    QTest::mousePress(m_form.window()->windowHandle(), button, modifiers, m_at);
}

void Pointer::release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    m_held &= ~Qt::MouseButtons(button);
    QTest::mouseRelease(m_form.window()->windowHandle(), button, modifiers, m_at);
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
