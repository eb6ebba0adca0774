#include "userfolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString existingOrHome(QStandardPaths::StandardLocation location)
{
    const QString path = QStandardPaths::writableLocation(location);
    // Desktops without xdg-user-dirs still report ~/Documents, which may not exist.
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return QDir::homePath();
    return path;
}

} // namespace

QString UserFolders::documents()
{
    return existingOrHome(QStandardPaths::DocumentsLocation);
}

QString UserFolders::pictures()
{
    return existingOrHome(QStandardPaths::PicturesLocation);
}
