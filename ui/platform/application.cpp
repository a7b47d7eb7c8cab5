#include "application.h"

#include <QApplication>
#include <QFile>
#include <QIcon>

#include <cassert>

namespace platform {

namespace {
Application *s_current = nullptr;
}

Application::Application(int &argc, char **argv)
    : m_toolkit(std::make_unique<QApplication>(argc, argv))
{
    assert(!s_current);
    s_current = this;
    QApplication::setApplicationName(QStringLiteral("bezier7"));
    QApplication::setApplicationVersion(QStringLiteral(BEZIER7_VERSION));

    // The program's icon, for every window, where its resources carry one.
    QIcon icon;
    for (const int size : { 16, 32 }) {
        const QString file = QStringLiteral(":/application/icon-%1.png").arg(size);
        if (QFile::exists(file))
            icon.addFile(file);
    }
    if (!icon.isNull())
        QApplication::setWindowIcon(icon);
}

Application::~Application()
{
    m_forms.clear();
    m_toolkit.reset();
    s_current = nullptr;
}

Application &Application::current()
{
    assert(s_current);
    return *s_current;
}

int Application::Run()
{
    return QApplication::exec();
}

} // namespace platform
