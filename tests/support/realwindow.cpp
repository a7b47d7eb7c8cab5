#include "realwindow.h"

#include "resident.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <vector>

#include <poll.h>

// Last: Xlib's macros (None, Bool, Status ...) would clash with the toolkit's names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace testsupport {

namespace {

constexpr int PatienceMs = 10000;

void Fail(const QString &what)
{
    QTest::qFail(qPrintable(what), __FILE__, __LINE__);
}

} // namespace

bool HasColourNear(const QImage &image, QPointF at, QColor colour)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint p(int(std::lround(at.x())) + dx, int(std::lround(at.y())) + dy);
            if (image.valid(p) && image.pixelColor(p) == colour)
                return true;
        }
    return false;
}

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
        if (!found.isEmpty()) {
            m_window = found.split('\n').first();
            return m_window;
        }
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
    input().moveTo(screen);
    handled();
}

void RealWindow::mouseDown(int button) const
{
    input().button(button, true);
    handled();
}

void RealWindow::mouseUp(int button) const
{
    input().button(button, false);
    handled();
}

void RealWindow::click(QPoint screen) const
{
    mouseMove(screen);
    mouseDown(1);
    mouseUp(1);
}

void RealWindow::key(const QString &keys) const
{
    input().key(keys);
    handled();
}

void RealWindow::handled() const
{
    // The program answers a ping once it has read what came before: a move is not then merged
    // with the next one, as it would be when both wait in its queue.
    // No answer within the patience is a stalled program, whatever the screen shows later.
    if (!m_window.isEmpty() && !input().ping(m_window))
        Fail(QStringLiteral("the program did not answer a ping: it stalled"));
}

const XConnection &RealWindow::input() const
{
    if (!m_input)
        m_input = std::make_unique<XConnection>();
    return *m_input;
}

namespace {

// What an X selection ("primary" or "clipboard") holds as text; empty if it has no owner.
QString SelectionText(const QString &selection)
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), { "-o", "-selection", selection });
    xclip.waitForFinished(PatienceMs);
    return xclip.exitCode() == 0 ? QString::fromUtf8(xclip.readAllStandardOutput()) : QString();
}

// Puts text of the test's own into an X selection, to be replaced by the program's. xclip stays
// behind as its owner until another program takes the selection.
void Offer(const QString &selection, const QString &text)
{
    QProcess xclip;
    xclip.setStandardOutputFile(QProcess::nullDevice());
    xclip.setStandardErrorFile(QProcess::nullDevice());
    xclip.start(QStringLiteral("xclip"), { "-i", "-selection", selection });
    xclip.write(text.toUtf8());
    xclip.closeWriteChannel();
    xclip.waitForFinished(PatienceMs);
    // Its owner is set once the background xclip runs: it must not take the selection back later.
    QElapsedTimer timer;
    timer.start();
    while (SelectionText(selection) != text && timer.elapsed() < PatienceMs)
        QThread::msleep(20);
}

} // namespace

QString RealWindow::readText(QPoint screen) const
{
    // A program on X puts selected text into the primary selection, a Windows program under Wine
    // only copies into the clipboard on Ctrl+C: both are asked for and both read. Each is first
    // given a value of the test's own, so that only text the program put there now can pass.
    static int reads = 0;
    const QString stale = QStringLiteral("(no text from the program, read %1)").arg(++reads);
    const QStringList selections { QStringLiteral("primary"), QStringLiteral("clipboard") };
    for (const QString &selection : selections)
        Offer(selection, stale);
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < PatienceMs) {
        // Under Wine a copy now and then never reaches the clipboard, the text selected all the
        // same: asked for again after a second.
        click(screen);
        key(QStringLiteral("ctrl+a"));
        key(QStringLiteral("ctrl+c"));
        QElapsedTimer attempt;
        attempt.start();
        while (attempt.elapsed() < 1000) {
            for (const QString &selection : selections) {
                QString text = SelectionText(selection);
                if (!text.isEmpty() && text != stale)
                    return text;
            }
            QThread::msleep(50);
        }
    }
    Fail(QStringLiteral("the program put no text into the selection or the clipboard"));
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
        QImage image = grab(screenArea);
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
    // The same test against another build of the program keeps its pictures apart: "-wine".
    const QString suffix = qEnvironmentVariable("BEZIER7_SCREENSHOT_SUFFIX");
    image.save(folder + '/' + QString(name).replace(".png", suffix + ".png"));
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

qint64 RealWindow::residentKiB() const
{
    return ResidentKiB(m_process.processId());
}

QString RealWindow::windowList()
{
    // wmctrl fails with BadWindow when a window goes away while it asks about it: asked again.
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < PatienceMs) {
        QProcess wmctrl;
        wmctrl.start(QStringLiteral("wmctrl"), { "-l" });
        if (wmctrl.waitForFinished(PatienceMs) && wmctrl.exitStatus() == QProcess::NormalExit
            && wmctrl.exitCode() == 0)
            return QString::fromLocal8Bit(wmctrl.readAllStandardOutput());
        QThread::msleep(50);
    }
    Fail(QStringLiteral("wmctrl -l never listed the windows"));
    return {};
}

int RealWindow::waitForExit(int milliseconds)
{
    if (!m_process.waitForFinished(milliseconds) || m_process.exitStatus() != QProcess::NormalExit)
        return -1;
    return m_process.exitCode();
}

struct XConnection::Connection {
    Display *display = nullptr;
    Window root = 0;
    Atom protocols = 0;
    Atom ping = 0;
    Atom deleteWindow = 0;
    long pings = 0; // tells one ping's answer from another's
};

XConnection::XConnection()
    : m_x(std::make_unique<Connection>())
{
    m_x->display = XOpenDisplay(nullptr);
    if (!m_x->display) {
        Fail(QStringLiteral("cannot open the X display"));
        return;
    }
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(m_x->display, &event, &error, &major, &minor)) {
        Fail(QStringLiteral("the X display has no XTEST extension"));
        XCloseDisplay(m_x->display);
        m_x->display = nullptr;
        return;
    }
    m_x->root = DefaultRootWindow(m_x->display);
    m_x->protocols = XInternAtom(m_x->display, "WM_PROTOCOLS", False);
    m_x->ping = XInternAtom(m_x->display, "_NET_WM_PING", False);
    m_x->deleteWindow = XInternAtom(m_x->display, "WM_DELETE_WINDOW", False);
    // A pinged program answers to the root window, to whoever listens there for its structure
    // (Qt) or for its children's (Wine).
    XSelectInput(m_x->display, m_x->root, StructureNotifyMask | SubstructureNotifyMask);
}

XConnection::~XConnection()
{
    if (m_x->display)
        XCloseDisplay(m_x->display);
}

bool XConnection::isOpen() const
{
    return m_x->display != nullptr;
}

void XConnection::moveTo(QPoint screen) const
{
    XTestFakeMotionEvent(m_x->display, -1, screen.x(), screen.y(), CurrentTime);
    XFlush(m_x->display);
}

void XConnection::button(int button, bool down) const
{
    XTestFakeButtonEvent(
        m_x->display, static_cast<unsigned>(button), down ? True : False, CurrentTime);
    XFlush(m_x->display);
}

void XConnection::key(const QString &keys) const
{
    static const QHash<QString, QString> Modifiers { { "ctrl", "Control_L" },
        { "shift", "Shift_L" }, { "alt", "Alt_L" } };
    const QStringList names = keys.split('+');
    std::vector<KeyCode> codes(static_cast<std::size_t>(names.size()));
    std::transform(names.begin(), names.end(), codes.begin(), [&](const QString &name) {
        return XKeysymToKeycode(
            m_x->display, XStringToKeysym(qPrintable(Modifiers.value(name.toLower(), name))));
    });
    for (const KeyCode code : codes)
        XTestFakeKeyEvent(m_x->display, code, True, CurrentTime);
    std::for_each(codes.rbegin(), codes.rend(),
        [&](KeyCode code) { XTestFakeKeyEvent(m_x->display, code, False, CurrentTime); });
    XFlush(m_x->display);
}

namespace {

XEvent ProtocolMessage(Window window, Atom protocols, Atom protocol, long argument)
{
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(protocol);
    event.xclient.data.l[1] = argument;
    event.xclient.data.l[2] = static_cast<long>(window);
    return event;
}

} // namespace

bool XConnection::ping(const QString &window) const
{
    const Window target = window.toULong();
    const long serial = ++m_x->pings;
    XEvent ping = ProtocolMessage(target, m_x->protocols, m_x->ping, serial);
    XSendEvent(m_x->display, target, False, NoEventMask, &ping);
    XFlush(m_x->display);

    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < PatienceMs) {
        while (XPending(m_x->display) > 0) {
            XEvent answer {};
            XNextEvent(m_x->display, &answer);
            if (answer.type == ClientMessage && answer.xclient.message_type == m_x->protocols
                && static_cast<Atom>(answer.xclient.data.l[0]) == m_x->ping
                && answer.xclient.data.l[1] == serial)
                return true;
        }
        pollfd connection { ConnectionNumber(m_x->display), POLLIN, 0 };
        poll(&connection, 1, 50);
    }
    return false;
}

void XConnection::close(const QString &window) const
{
    const Window target = window.toULong();
    XEvent close = ProtocolMessage(target, m_x->protocols, m_x->deleteWindow, CurrentTime);
    XSendEvent(m_x->display, target, False, NoEventMask, &close);
    XFlush(m_x->display);
}

} // namespace testsupport
