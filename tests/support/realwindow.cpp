#include "realwindow.h"

#include "resident.h"
#include "testdesign.h"

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

void Fail(const QString &what)
{
    QTest::qFail(qPrintable(what), __FILE__, __LINE__);
}

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

bool Eventually(const std::function<bool()> &done, int pauseMs, int patienceMs)
{
    QElapsedTimer timer;
    timer.start();
    do {
        if (done())
            return true;
        QThread::msleep(static_cast<unsigned long>(pauseMs));
    } while (timer.elapsed() < patienceMs);
    return false;
}

// A connection of the test's own to the X display: real input through the XTEST extension, and
// the window manager's ping to a window.
class XConnection {
public:
    XConnection() // to the display in DISPLAY
    {
        m_display = XOpenDisplay(nullptr);
        if (!m_display) {
            Fail(QStringLiteral("cannot open the X display"));
            return;
        }
        int event = 0;
        int error = 0;
        int major = 0;
        int minor = 0;
        if (!XTestQueryExtension(m_display, &event, &error, &major, &minor)) {
            Fail(QStringLiteral("the X display has no XTEST extension"));
            XCloseDisplay(m_display);
            m_display = nullptr;
            return;
        }
        m_root = DefaultRootWindow(m_display);
        m_protocols = XInternAtom(m_display, "WM_PROTOCOLS", False);
        m_ping = XInternAtom(m_display, "_NET_WM_PING", False);
        m_deleteWindow = XInternAtom(m_display, "WM_DELETE_WINDOW", False);
        // A pinged program answers to the root window, to whoever listens there for its structure
        // (Qt) or for its children's (Wine).
        XSelectInput(m_display, m_root, StructureNotifyMask | SubstructureNotifyMask);
    }

    ~XConnection()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }
    XConnection(const XConnection &) = delete;
    XConnection &operator=(const XConnection &) = delete;

    void moveTo(QPoint screen) const // one motion event
    {
        XTestFakeMotionEvent(m_display, -1, screen.x(), screen.y(), CurrentTime);
        const Screen *whole = DefaultScreenOfDisplay(m_display);
        const QPoint kept(std::clamp(screen.x(), 0, WidthOfScreen(whole) - 1),
            std::clamp(screen.y(), 0, HeightOfScreen(whole) - 1));
        waitForPointer([&](QPoint at, unsigned) { return at == kept; });
    }

    void button(int button, bool down) const // 1 left, 2 middle, 3 right
    {
        XTestFakeButtonEvent(
            m_display, static_cast<unsigned>(button), down ? True : False, CurrentTime);
        const unsigned held = Button1Mask << (button - 1);
        waitForPointer([&](QPoint, unsigned buttons) { return ((buttons & held) != 0) == down; });
    }

    void key(const QString &keys) const // pressed together, as "ctrl+a"
    {
        static const QHash<QString, QString> Modifiers { { "ctrl", "Control_L" },
            { "shift", "Shift_L" }, { "alt", "Alt_L" } };
        const QStringList names = keys.split('+');
        std::vector<KeyCode> codes(static_cast<std::size_t>(names.size()));
        std::transform(names.begin(), names.end(), codes.begin(), [&](const QString &name) {
            return XKeysymToKeycode(
                m_display, XStringToKeysym(qPrintable(Modifiers.value(name.toLower(), name))));
        });
        for (const KeyCode code : codes)
            XTestFakeKeyEvent(m_display, code, True, CurrentTime);
        std::for_each(codes.rbegin(), codes.rend(),
            [&](KeyCode code) { XTestFakeKeyEvent(m_display, code, False, CurrentTime); });
        XFlush(m_display);
    }

    // Pings the window as a window manager does. Its program answers once it has read every event
    // sent before the ping; false if it does not answer within the patience.
    bool ping(const QString &window) const
    {
        const Window target = window.toULong();
        const long serial = ++m_pings;
        XEvent ping = ProtocolMessage(target, m_protocols, m_ping, serial);
        XSendEvent(m_display, target, False, NoEventMask, &ping);
        XFlush(m_display);

        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < PatienceMs) {
            while (XPending(m_display) > 0) {
                XEvent answer {};
                XNextEvent(m_display, &answer);
                if (answer.type == ClientMessage && answer.xclient.message_type == m_protocols
                    && static_cast<Atom>(answer.xclient.data.l[0]) == m_ping
                    && answer.xclient.data.l[1] == serial)
                    return true;
            }
            pollfd connection { ConnectionNumber(m_display), POLLIN, 0 };
            poll(&connection, 1, 50);
        }
        return false;
    }

    // Asks the window to close, as a window manager's close button does.
    void close(const QString &window) const
    {
        const Window target = window.toULong();
        XEvent close = ProtocolMessage(target, m_protocols, m_deleteWindow, CurrentTime);
        XSendEvent(m_display, target, False, NoEventMask, &close);
        XFlush(m_display);
    }

private:
    // Waits until the pointer's position and buttons show what was sent.
    void waitForPointer(const std::function<bool(QPoint, unsigned)> &done) const
    {
        // A window manager that focuses a window on a click grabs the button synchronously: the
        // press goes to it, and the pointer's later events wait in the server until it passes the
        // press on, while keys and pings go ahead. A key typed after a click could then reach the
        // program before the click. The pointer's state shows an event only once the server has
        // delivered it.
        const bool delivered = Eventually(
            [&] {
                Window root = 0;
                Window child = 0;
                QPoint at;
                QPoint inWindow;
                unsigned buttons = 0;
                XQueryPointer(m_display, m_root, &root, &child, &at.rx(), &at.ry(), &inWindow.rx(),
                    &inWindow.ry(), &buttons);
                return done(at, buttons);
            },
            2);
        if (!delivered)
            Fail(QStringLiteral(
                "the pointer stayed frozen: the window manager held its events back"));
    }

    Display *m_display = nullptr;
    Window m_root = 0;
    Atom m_protocols = 0;
    Atom m_ping = 0;
    Atom m_deleteWindow = 0;
    mutable long m_pings = 0; // tells one ping's answer from another's
};

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
    QString found;
    const bool shown = Eventually([&] {
        QProcess search;
        search.start(QStringLiteral("xdotool"),
            { "search", "--onlyvisible", "--name", '^' + caption + '$' });
        search.waitForFinished(PatienceMs);
        found = QString::fromLocal8Bit(search.readAllStandardOutput()).trimmed();
        return !found.isEmpty();
    });
    if (!shown) {
        Fail(QStringLiteral("no window captioned ") + caption);
        return {};
    }
    m_window = found.split('\n').first();
    return m_window;
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

void RealWindow::place(const QString &window, QPoint spot) const
{
    // A program may still be placing its window when it first shows it (under Wine it can put it
    // back after a move of ours): the move is asked for again until the window stays there. A
    // window manager's frame puts the client area a little right of and below the spot.
    const auto there = [&](const QRect &at) {
        const QPoint frame = at.topLeft() - spot;
        return frame.x() >= 0 && frame.y() >= 0 && frame.x() < 64 && frame.y() < 64;
    };
    const bool placed = Eventually(
        [&] {
            run(QStringLiteral("xdotool"),
                { "windowmove", window, QString::number(spot.x()), QString::number(spot.y()) });
            QRect last;
            int still = 0; // polls the window has not moved for
            return Eventually(
                [&] {
                    const QRect at = geometry(window);
                    still = at == last ? still + 1 : 0;
                    last = at;
                    return there(at) && still >= 6;
                },
                50, 2000);
        },
        0);
    if (!placed)
        Fail(QStringLiteral("the window did not stay where it was moved"));
}

QPoint OnScreen(QPoint origin, QPointF twips)
{
    return origin + QPoint(Pixels(twips.x()), Pixels(twips.y()));
}

QString RealWindow::readOut(QPoint origin, const QRectF &box) const
{
    return readText(OnScreen(origin, box.topLeft()) + QPoint(10, 8));
}

QPoint RealWindow::clientOrigin(const QString &window) const
{
    const QRect outer = geometry(window);
    const int across = Pixels(TextInd.left()) + 16;
    const int beside = Pixels(Client.right()) - 2;
    const auto top = [&](const QImage &image) {
        int row = 0;
        while (row < image.height() && image.pixel(across, row) == image.pixel(beside, row))
            ++row;
        return row;
    };
    const QImage whole
        = grabWhen(outer, [&](const QImage &image) { return top(image) < image.height(); });
    return outer.topLeft() + QPoint(0, whole.isNull() ? 0 : top(whole));
}

void RealWindow::close(const QString &window) const
{
    input().close(window);
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
    // An owner answers within milliseconds, or not at all: Wine's clipboard now and then leaves a
    // request unanswered, and xclip would wait for ever. Asked again, it answers.
    if (!xclip.waitForFinished(1000)) {
        xclip.kill();
        xclip.waitForFinished();
        return {};
    }
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
    Eventually([&] { return SelectionText(selection) == text; }, 20);
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
    QString text;
    const bool copied = Eventually(
        [&] {
            // A copy that has not arrived within a second is asked for again.
            click(screen);
            key(QStringLiteral("ctrl+a"));
            key(QStringLiteral("ctrl+c"));
            return Eventually(
                [&] {
                    return std::any_of(
                        selections.begin(), selections.end(), [&](const QString &in) {
                            text = SelectionText(in);
                            return !text.isEmpty() && text != stale;
                        });
                },
                50, 1000);
        },
        0);
    if (!copied)
        Fail(QStringLiteral("the program put no text into the selection or the clipboard"));
    return copied ? text : QString();
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
    QImage image;
    if (Eventually([&] {
            image = grab(screenArea);
            return ready(image);
        }))
        return image;
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
    return Eventually([] {
        QProcess wmctrl;
        wmctrl.start(QStringLiteral("wmctrl"), { "-m" });
        return wmctrl.waitForFinished(PatienceMs) && wmctrl.exitCode() == 0;
    });
}

qint64 RealWindow::residentKiB() const
{
    return ResidentKiB(m_process.processId());
}

QString RealWindow::windowList()
{
    // wmctrl fails with BadWindow when a window goes away while it asks about it: asked again.
    QString list;
    const bool listed = Eventually([&] {
        QProcess wmctrl;
        wmctrl.start(QStringLiteral("wmctrl"), { "-l" });
        if (!wmctrl.waitForFinished(PatienceMs) || wmctrl.exitStatus() != QProcess::NormalExit
            || wmctrl.exitCode() != 0)
            return false;
        list = QString::fromLocal8Bit(wmctrl.readAllStandardOutput());
        return true;
    });
    if (!listed)
        Fail(QStringLiteral("wmctrl -l never listed the windows"));
    return list;
}

int RealWindow::waitForExit(int milliseconds)
{
    if (!m_process.waitForFinished(milliseconds) || m_process.exitStatus() != QProcess::NormalExit)
        return -1;
    return m_process.exitCode();
}

} // namespace testsupport
