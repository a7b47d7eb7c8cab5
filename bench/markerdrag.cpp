#include "markerdrag.h"

#include "control.h"
#include "form.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QMainWindow>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include <unistd.h>

namespace bench {

MarkerDrag::MarkerDrag(const platform::Form &form, const platform::Control &marker)
    : m_window(testsupport::Window(form)->windowHandle())
{
    const QWidget *widget = marker.widget();
    const QPoint corner = widget->mapTo(testsupport::Window(form), QPoint(0, 0));
    m_positions = { corner + widget->rect().center(), corner };
    m_at = m_positions[0];
    send(QEvent::MouseButtonPress, m_at, Qt::LeftButton);
}

MarkerDrag::~MarkerDrag()
{
    send(QEvent::MouseButtonRelease, m_at, Qt::NoButton);
}

void MarkerDrag::step()
{
    m_at = m_positions[m_next];
    m_next = 1 - m_next;
    send(QEvent::MouseMove, m_at, Qt::LeftButton);
}

void MarkerDrag::send(QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, at, m_window->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(m_window, &event);
}

void Present(const platform::Form &form)
{
    QCoreApplication::sendPostedEvents(testsupport::Window(form), QEvent::UpdateRequest);
}

long long ResidentBytes()
{
    // statm: total program size, then resident set, both in pages.
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

} // namespace bench
