#pragma once

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace testsupport {

// How long a real-window test waits for the program, a window or a helper.
constexpr int PatienceMs = 10000;

inline const QString EditorCaption = QStringLiteral("Bezier curve with 7 points");

// Asks until `done` holds, `pauseMs` apart, for at most `patienceMs`; whether it came to hold.
bool Eventually(const std::function<bool()> &done, int pauseMs = 50, int patienceMs = PatienceMs);

// A point in twips of the editor's client area, whose top-left corner is at `origin`, on the
// screen.
QPoint OnScreen(QPoint origin, QPointF twips);

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
    // Moves a window's frame to this spot on the screen and waits until it stays there.
    void place(const QString &window, QPoint spot) const;
    // The top-left corner of the editor window's client area on the screen, found in its picture:
    // the first row, from the top, where the index read-out's frame differs from what lies right
    // of the read-outs, where only what spans the window's width (the menu bar) is.
    QPoint clientOrigin(const QString &window) const;
    // Asks a window to close, as a window manager's close button does.
    void close(const QString &window) const;

    void mouseMove(QPoint screen) const;
    void mouseDown(int button) const; // 1 left, 2 middle, 3 right, as X numbers them
    void mouseUp(int button) const;
    void click(QPoint screen) const;
    void key(const QString &keys) const;

    // Clicks into a text box, selects and copies all of it, and reads back what the program put
    // into the X primary selection or the clipboard; fails if it put nothing new into either.
    QString readText(QPoint screen) const;
    // The same for the editor's read-out in this box (twips), its client area at `origin`.
    QString readOut(QPoint origin, const QRectF &box) const;

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

} // namespace testsupport
