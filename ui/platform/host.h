// Where the windows live: a desktop with its window manager, or the browser's page.
#pragma once

#include <QSize>

class QString;
class QWidget;

namespace platform {

// Before a top-level window is first shown: its size, from its design's, and what else its host
// asks of it.
void PlaceWindow(QWidget *window, const QSize &design);

// Shows a top-level window, placed where its host places windows.
void ShowWindow(QWidget *window);

// Tells a screen reader what just changed, where the toolkit's accessibility cannot reach it: the
// browser's page. On a desktop the toolkit's own accessibility events carry every change.
void Announce(const QString &text);

} // namespace platform
