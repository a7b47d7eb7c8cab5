#pragma once

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace testsupport {

// The editor window as the real-window tests meet it, in pixels of its client area.
namespace editor {
inline const QString Caption = QStringLiteral("Bezier curve with 7 points");
constexpr QSize Client(605, 361);
constexpr QPoint Handle2(175, 210);
constexpr QPoint Handle4(84, 133);
constexpr QPoint Handle6(322, 126);
constexpr QPoint Option7(497, 154);
constexpr QPoint TextInd(544, 0);
constexpr QPoint TextX(544, 24);
constexpr QPoint TextY(544, 48);
} // namespace editor

// Whether the colour lies at a point of a screenshot or at one of its eight neighbours.
bool HasColourNear(const QImage &image, QPointF at, QColor colour);

class XConnection;

// The built program in a real window on an X display (a virtual one in the tests), driven with
// real X input through the XTEST extension as a person would, and looked at through screenshots. A
// step that fails records the failure in the running test and returns an empty result.
class RealWindow {
public:
    RealWindow(); // starts the program named by BEZIER7_PROGRAM
    ~RealWindow(); // ends it if it still runs
    RealWindow(const RealWindow &) = delete;
    RealWindow &operator=(const RealWindow &) = delete;

    // The X window with exactly this caption, once it is mapped; empty if none appears.
    QString waitForWindow(const QString &caption) const;
    // Where a window lies on the screen, frame excluded.
    QRect geometry(const QString &window) const;
    // The top-left corner of a window's client area, which fills its bottom `clientHeight` pixels.
    QPoint clientOrigin(const QString &window, int clientHeight) const;

    void mouseMove(QPoint screen) const;
    void mouseDown(int button) const; // 1 left, 2 middle, 3 right, as X numbers them
    void mouseUp(int button) const;
    void click(QPoint screen) const;
    void key(const QString &keys) const;

    // Clicks into a text box, selects and copies all of it, and reads back what the program put
    // into the X primary selection or the clipboard; fails if it put nothing new into either.
    QString readText(QPoint screen) const;

    QImage grab(const QRect &screenArea) const;
    // Grabs until `ready` holds for the picture; a null image if it never does.
    QImage grabWhen(
        const QRect &screenArea, const std::function<bool(const QImage &)> &ready) const;
    // Keeps a picture in the build's screenshots folder.
    static void save(const QImage &image, const QString &name);

    // Starts a window manager on the display and waits until it runs.
    static bool startWindowManager();
    // The window manager's list of windows, one a line (wmctrl -l).
    static QString windowList();

    QProcess &process() { return m_process; }
    // The program's resident memory in KiB, from /proc; -1 if it cannot be read.
    qint64 residentKiB() const;
    // Waits for the program to end; its exit code, or -1 if it does not end normally.
    int waitForExit(int milliseconds = 10000);

    // Runs a helper program to completion and returns what it printed.
    static QString run(const QString &program, const QStringList &arguments);

private:
    const XConnection &input() const; // opened on first use
    void handled() const; // waits until the program has read the input sent

    QProcess m_process;
    mutable std::unique_ptr<XConnection> m_input;
    mutable QString m_window; // the last found, which the program answers pings for
};

// A connection of the test's own to the X display: real input through the XTEST extension, and
// the window manager's questions to a window.
class XConnection {
public:
    XConnection(); // to the display in DISPLAY
    ~XConnection();
    XConnection(const XConnection &) = delete;
    XConnection &operator=(const XConnection &) = delete;

    bool isOpen() const;
    void moveTo(QPoint screen) const; // one motion event
    void button(int button, bool down) const; // 1 left, 2 middle, 3 right
    void key(const QString &keys) const; // pressed together, as "ctrl+a"
    // Pings the window as a window manager does. Its program answers once it has read every event
    // sent before the ping; false if it does not answer within the patience.
    bool ping(const QString &window) const;
    // Asks the window to close, as a window manager's close button does.
    void close(const QString &window) const;

private:
    struct Connection;
    std::unique_ptr<Connection> m_x;
};

} // namespace testsupport
