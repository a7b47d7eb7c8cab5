#include "host.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QtGui/private/qhighdpiscaling_p.h>
#include <qpa/qplatformscreen.h>

#include <emscripten/val.h>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// In the browser the page is the screen. The start-up window, the first one made, takes it: at
// its top-left corner, without a frame or a close box, since closing it would leave a dead picture
// on the page. The others open framed over it, with a close box.
QPointer<QWidget> s_startUp;

const char *const DesignSize = "bezier7DesignSize";

QScreen *Page()
{
    return QGuiApplication::primaryScreen();
}

// The browser's compositor copies a window's picture to the page scaled to the window's size in
// device pixels: where that size is not whole (605 pixels at a ratio of 1.5), a row or a column of
// the picture is lost, and one-pixel lines show gaps. Such a length grows to the next whole one,
// whole in CSS pixels too, in which the page places windows.
int Whole(int length)
{
    const double ratio = Page()->devicePixelRatio();
    const double scale = QHighDpiScaling::factor(Page()); // CSS pixels a pixel
    const auto whole = [](double pixels) { return std::abs(pixels - std::round(pixels)) < 1e-6; };
    for (int grown = length; grown < length + 32; ++grown)
        if (whole(grown * ratio) && whole(grown * scale))
            return grown;
    return length;
}

// The share of a CSS pixel that a pixel of the program's windows takes, so that the start-up
// window shows whole on the page: 1 where it fits, less on a phone or in a small browser window.
// Qt then draws at that share of the device's resolution, text and one-pixel lines as crisp as at
// full size, and maps the pointer back to the program's pixels. The share is a whole number of
// eighths, so that the lengths Whole makes stay near the design's.
double FittingScale(const QSize &design)
{
    const QPlatformScreen *page = Page()->handle();
    const QSizeF css = page->geometry().size(); // the page, unscaled
    const QSizeF room(design.width() + 8, design.height() + 8); // for what Whole adds
    double fit = std::min(css.width() / room.width(), css.height() / room.height());
    // A page that is the whole screen is a phone's or a tablet's, which turns: the editor fits
    // either way it is held, so that turning it keeps the editor's size and picture.
    const emscripten::val screen = emscripten::val::global("screen");
    const QSizeF whole(screen["width"].as<double>(), screen["height"].as<double>());
    if (css == whole || css == whole.transposed())
        fit = std::min({ fit, css.height() / room.width(), css.width() / room.height() });
    if (fit >= 1)
        return 1;
    return std::max(std::floor(fit * 8), 1.0) / 8;
}

void Resize(QWidget *window)
{
    const QSize design = window->property(DesignSize).toSize();
    const QSize size(Whole(design.width()), Whole(design.height()));
    window->resize(size);
    // A window already shown keeps its size in the program's pixels, but no longer on the page: its
    // place there is set anew, which repaints it whole at the new scale.
    if (QWindow *shown = window->windowHandle())
        shown->setGeometry(QRect(shown->position(), size));
}

// Places a window opened over the start-up window at its centre, on a whole device pixel.
void Centre(QWidget *window)
{
    const QPoint centred = s_startUp->geometry().center() - window->rect().center();
    window->move(Whole(std::max(centred.x(), 0)), Whole(std::max(centred.y(), 0)));
}

// Fits the windows to the page again, once it has changed its size: a turned phone, a resized
// browser window. The windows keep what they show, in the program's own pixels.
void Fit()
{
    const double scale = FittingScale(s_startUp->property(DesignSize).toSize());
    if (std::abs(scale - QHighDpiScaling::factor(Page())) < 1e-9)
        return;
    QHighDpiScaling::setScreenFactor(Page(), scale);
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->property(DesignSize).isValid())
            continue;
        Resize(window);
        if (window != s_startUp)
            Centre(window);
        // Painted anew once the page has the window's new size: what was painted before it is
        // lost with the old picture.
        QTimer::singleShot(0, window, [window] { window->repaint(); });
    }
}

} // namespace

void PlaceWindow(QWidget *window, const QSize &design)
{
    window->setProperty(DesignSize, design);
    if (!s_startUp) {
        s_startUp = window;
        window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
        QHighDpiScaling::setScreenFactor(Page(), FittingScale(design));
        QObject::connect(Page(), &QScreen::geometryChanged, window, &Fit);
    }
    Resize(window);
}

void ShowWindow(QWidget *window)
{
    // No window manager places a window there: it opens centred over the start-up window.
    if (!window->isVisible() && s_startUp && s_startUp != window)
        Centre(window);
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
