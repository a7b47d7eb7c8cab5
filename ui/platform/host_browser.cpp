#include "host.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <emscripten/val.h>

#include <cmath>

namespace platform {

namespace {

// In the browser the page is the screen. The start-up window, the first one made, takes it: at
// its top-left corner, at its own size, without a frame or a close box, since closing it would
// leave a dead picture on the page. The others open framed over it, with a close box.
QPointer<QWidget> s_startUp;

} // namespace

void PrepareWindow(QWidget *window)
{
    if (s_startUp)
        return;
    s_startUp = window;
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
}

// The browser's compositor copies a window's picture to the page scaled to the window's size in
// device pixels: where that size is not whole (605 pixels at a ratio of 1.5), a row or a column of
// the picture is lost, and one-pixel lines show gaps. Such a window grows to the next size that is
// whole.
QSize WindowSize(const QSize &design)
{
    const double ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
    const auto whole = [ratio](int length) {
        for (int grown = length; grown < length + 16; ++grown)
            if (std::abs(grown * ratio - std::round(grown * ratio)) < 1e-6)
                return grown;
        return length;
    };
    return { whole(design.width()), whole(design.height()) };
}

void ShowWindow(QWidget *window)
{
    // No window manager places a window there: it opens centred over the start-up window.
    if (!window->isVisible() && s_startUp && s_startUp != window)
        window->move(s_startUp->geometry().center() - window->rect().center());
    window->showNormal(); // show() there means full screen, whatever the window's size
}

// The page's live region, which screen readers follow: they cannot see into the canvas.
void Announce(const QString &text)
{
    emscripten::val region = emscripten::val::global("document")
                                 .call<emscripten::val>("getElementById", std::string("announce"));
    if (!region.isNull())
        region.set("textContent", text.toStdString());
}

} // namespace platform
