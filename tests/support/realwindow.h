#pragma once

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>

namespace testsupport {

// The built program in a real window on an X display (a virtual one in the tests), driven with
// real X input through xdotool as a person would, and looked at through screenshots. A step that
// fails records the failure in the running test and returns an empty result.
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

    // Clicks into a text box, selects all of it and reads the X selection back.
    QString readText(QPoint screen) const;

    QImage grab(const QRect &screenArea) const;
    // Grabs until `ready` holds for the picture; a null image if it never does.
    QImage grabWhen(
        const QRect &screenArea, const std::function<bool(const QImage &)> &ready) const;
    // Keeps a picture in the build's screenshots folder.
    static void save(const QImage &image, const QString &name);

    // Starts a window manager on the display and waits until it runs.
    static bool startWindowManager();

    QProcess &process() { return m_process; }
    // Waits for the program to end; its exit code, or -1 if it does not end normally.
    int waitForExit(int milliseconds = 10000);

    // Runs a helper program to completion and returns what it printed.
    static QString run(const QString &program, const QStringList &arguments);

private:
    QProcess m_process;
};

} // namespace testsupport
