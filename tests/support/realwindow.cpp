#include "realwindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QThread>

namespace testsupport {

namespace {

constexpr int PatienceMs = 10000;

void Fail(const QString &what)
{
    QTest::qFail(qPrintable(what), __FILE__, __LINE__);
}

QString Xdotool(const QStringList &arguments)
{
    return RealWindow::run(QStringLiteral("xdotool"), arguments);
}

} // namespace

RealWindow::RealWindow()
{
    const QString program = qEnvironmentVariable("BEZIER7_PROGRAM");
    if (program.isEmpty())
        Fail(QStringLiteral("BEZIER7_PROGRAM is not set"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
    m_process.start(program, {});
    if (!program.isEmpty() && !m_process.waitForStarted())
        Fail(QStringLiteral("cannot start ") + program);
}

RealWindow::~RealWindow()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

QString RealWindow::run(const QString &program, const QStringList &arguments)
{
    QProcess helper;
    helper.start(program, arguments);
    if (!helper.waitForFinished(PatienceMs) || helper.exitStatus() != QProcess::NormalExit
        || helper.exitCode() != 0)
        Fail(QStringLiteral("%1 %2 failed: %3")
                 .arg(program, arguments.join(' '),
                     QString::fromLocal8Bit(helper.readAllStandardError())));
    return QString::fromLocal8Bit(helper.readAllStandardOutput()).trimmed();
}

QString RealWindow::waitForWindow(const QString &caption) const
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < PatienceMs) {
        QProcess search;
        search.start(QStringLiteral("xdotool"),
            { "search", "--onlyvisible", "--name", '^' + caption + '$' });
        search.waitForFinished(PatienceMs);
        const QString found = QString::fromLocal8Bit(search.readAllStandardOutput()).trimmed();
        if (!found.isEmpty())
            return found.split('\n').first();
        QThread::msleep(50);
    }
    Fail(QStringLiteral("no window captioned ") + caption);
    return {};
}

QRect RealWindow::geometry(const QString &window) const
{
    // xwininfo, not xdotool: under a reparenting window manager it gives the true position.
    QRect rect;
    for (const QString &line : run(QStringLiteral("xwininfo"), { "-id", window }).split('\n')) {
        const QString value = line.section(':', 1).trimmed();
        if (line.contains("Absolute upper-left X:"))
            rect.moveLeft(value.toInt());
        else if (line.contains("Absolute upper-left Y:"))
            rect.moveTop(value.toInt());
        else if (line.trimmed().startsWith("Width:"))
            rect.setWidth(value.toInt());
        else if (line.trimmed().startsWith("Height:"))
            rect.setHeight(value.toInt());
    }
    return rect;
}

QPoint RealWindow::clientOrigin(const QString &window, int clientHeight) const
{
    const QRect outer = geometry(window);
    return { outer.left(), outer.top() + outer.height() - clientHeight };
}

void RealWindow::mouseMove(QPoint screen) const
{
    Xdotool({ "mousemove", QString::number(screen.x()), QString::number(screen.y()) });
}

void RealWindow::mouseDown(int button) const
{
    Xdotool({ "mousedown", QString::number(button) });
}

void RealWindow::mouseUp(int button) const
{
    Xdotool({ "mouseup", QString::number(button) });
}

void RealWindow::click(QPoint screen) const
{
    mouseMove(screen);
    mouseDown(1);
    mouseUp(1);
}

void RealWindow::key(const QString &keys) const
{
    Xdotool({ "key", keys });
}

QString RealWindow::readText(QPoint screen) const
{
    click(screen);
    key(QStringLiteral("ctrl+a"));
    QElapsedTimer timer;
    timer.start();
    QString text;
    // The program takes the selection once it has handled the keys.
    while (timer.elapsed() < PatienceMs) {
        QProcess xclip;
        xclip.start(QStringLiteral("xclip"), { "-o", "-selection", "primary" });
        xclip.waitForFinished(PatienceMs);
        text = QString::fromUtf8(xclip.readAllStandardOutput());
        if (xclip.exitCode() == 0 && !text.isEmpty())
            return text;
        QThread::msleep(50);
    }
    Fail(QStringLiteral("no selection to read"));
    return {};
}

QImage RealWindow::grab(const QRect &screenArea) const
{
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen
        ->grabWindow(0, screenArea.x(), screenArea.y(), screenArea.width(), screenArea.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QImage RealWindow::grabWhen(
    const QRect &screenArea, const std::function<bool(const QImage &)> &ready) const
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < PatienceMs) {
        const QImage image = grab(screenArea);
        if (ready(image))
            return image;
        QThread::msleep(50);
    }
    save(grab(screenArea), QStringLiteral("failed.png"));
    Fail(QStringLiteral("the screen never showed what was expected (see failed.png)"));
    return {};
}

void RealWindow::save(const QImage &image, const QString &name)
{
    const QString folder = qEnvironmentVariable("BEZIER7_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    image.save(folder + '/' + name);
}

bool RealWindow::startWindowManager()
{
    auto *manager = new QProcess(qApp); // ends with the test program's display
    manager->start(QStringLiteral("openbox"), {});
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < PatienceMs) {
        QProcess wmctrl;
        wmctrl.start(QStringLiteral("wmctrl"), { "-m" });
        if (wmctrl.waitForFinished(PatienceMs) && wmctrl.exitCode() == 0)
            return true;
        QThread::msleep(50);
    }
    return false;
}

int RealWindow::waitForExit(int milliseconds)
{
    if (!m_process.waitForFinished(milliseconds) || m_process.exitStatus() != QProcess::NormalExit)
        return -1;
    return m_process.exitCode();
}

} // namespace testsupport
