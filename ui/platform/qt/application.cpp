#include "application.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

namespace platform {

struct Application::Peer {
    Peer(int &argc, char **argv)
        : toolkit(argc, argv)
    { }
    QApplication toolkit;
};

Application::Application(int &argc, char **argv)
    : m_peer(std::make_unique<Peer>(argc, argv))
{
    s_current = this;
    QApplication::setApplicationName(QStringLiteral("bezier7"));
    QApplication::setApplicationVersion(QStringLiteral(BEZIER7_VERSION));

    // The program's icon, for every window, at every size its resources carry: task bars and
    // window switchers ask for 48 pixels and up, title bars for 16.
    QIcon icon;
    const QDir icons(QStringLiteral(":/application"), QStringLiteral("icon-*.png"));
    for (const QFileInfo &file : icons.entryInfoList())
        icon.addFile(file.filePath());
    QApplication::setWindowIcon(icon);
}

Application::~Application()
{
    m_forms.clear();
    s_current = nullptr;
}

int Application::Run()
{
    return QApplication::exec();
}

} // namespace platform
