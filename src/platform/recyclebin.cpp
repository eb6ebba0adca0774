#include "recyclebin.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

// Qt 5.15.8 falls back to the working folder when the data folder is missing and still
// reports success; only a trash folder proper counts.
bool inTrashFolder(const QString &path)
{
    static const QRegularExpression trash(
            QStringLiteral("/(Trash|\\.Trash-\\d+|\\.Trash/\\d+)/files/[^/]+$"));
    const QFileInfo info(path);
    return info.isAbsolute() && trash.match(path).hasMatch() && (info.exists() || info.isSymLink());
}

} // namespace

bool moveToRecycleBin(const QString &path, QString *pathInTrash)
{
    const QString original = QFileInfo(path).absoluteFilePath();
    // The home trash lives in the data folder, which a fresh account may not have yet.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!dataHome.isEmpty())
        QDir().mkpath(dataHome);

    QString trashed;
    if (!QFile::moveToTrash(original, &trashed))
        return false;
    if (inTrashFolder(trashed)) {
        if (pathInTrash)
            *pathInTrash = trashed;
        return true;
    }

    // Somewhere else: put the file back and tidy what the failed attempt made.
    qDebug() << "moveToRecycleBin: not a trash folder:" << trashed;
    const QFileInfo moved(trashed);
    if (!QFileInfo::exists(original) && (moved.exists() || moved.isSymLink()))
        QFile::rename(moved.absoluteFilePath(), original);
    const QDir filesDir = moved.absoluteDir();
    QFile::remove(filesDir.absoluteFilePath(QStringLiteral("../info/%1.trashinfo").arg(moved.fileName())));
    return false;
}
