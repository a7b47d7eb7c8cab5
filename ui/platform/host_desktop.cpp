#include "host.h"

#include <QWidget>

namespace platform {

// The window manager frames and places the windows, at their design sizes.

void PlaceWindow(QWidget *window, const QSize &design)
{
    window->resize(design);
}

void ShowWindow(QWidget *window)
{
    window->show();
}

void Announce(const QString & /*text*/)
{ }

} // namespace platform
