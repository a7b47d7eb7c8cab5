#include "application.h"

#include <QDir>
#include <QIcon>

namespace platform {

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("bezier7"));
    setApplicationVersion(QStringLiteral(BEZIER7_VERSION));

    // The program's icon, for every window, at every size its resources carry: task bars and
    // window switchers ask for 48 pixels and up, title bars for 16.
    QIcon icon;
    const QDir icons(QStringLiteral(":/application"), QStringLiteral("icon-*.png"));
    for (const QFileInfo &file : icons.entryInfoList())
        icon.addFile(file.filePath());
    setWindowIcon(icon);
}

Application::~Application() = default;

} // namespace platform
