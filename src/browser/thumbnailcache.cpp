#include "thumbnailcache.h"

#include "framework/pngdata.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char uriKey[] = "Thumb::URI";
const char modifiedKey[] = "Thumb::MTime";
const char sizeKey[] = "Thumb::Size";
const char widthKey[] = "Thumb::Image::Width";
const char heightKey[] = "Thumb::Image::Height";
const char mimeTypeKey[] = "Thumb::Mimetype";
const char softwareKey[] = "Software";
const char software[] = "Vireon 3.0";
const char failFolder[] = "fail/vireon-3.0";
// The largest size the standard names (x-large); "large" entries are 256.
constexpr int maxEntrySide = 512;
// Far more than the PNG of a 512-pixel thumbnail takes.
constexpr qint64 maxEntryBytes = qint64(8) << 20;

// Folders of the cache, and the cache home when it is missing, are the user's alone.
// Existing ones are left as they are.
bool makeFolders(const QString &path)
{
    const QByteArray folders = QFile::encodeName(path);
    for (int slash = folders.indexOf('/', 1);; slash = folders.indexOf('/', slash + 1)) {
        const QByteArray folder = slash < 0 ? folders : folders.left(slash);
        if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash < 0)
            return true;
    }
}

// An entry counts only for the file as it is now: the same URI and modification time, and
// the same size when the entry records one.
bool matches(const QImage &image, const ThumbnailCache::Source &source)
{
    if (image.text(QLatin1String(uriKey)).toUtf8() != source.uri)
        return false;
    bool ok = false;
    // Some writers record fractions of a second. Compared as a number, since a planted time
    // need not fit in an integer.
    const double modified = image.text(QLatin1String(modifiedKey)).toDouble(&ok);
    if (!ok || std::floor(modified) != double(source.modified))
        return false;
    const QString size = image.text(QLatin1String(sizeKey));
    return size.isEmpty() || size.toLongLong() == source.size;
}

qint64 nanoseconds(const struct timespec &time)
{
    return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
}

// The entry at path, when it was written after the file's last change: the recorded time
// has whole seconds only, and a file written twice in a second must not keep the first
// thumbnail.
QImage readEntry(const QString &path, const ThumbnailCache::Source &source)
{
    // Anyone may write here. Opened without blocking and checked on the open file, so that
    // a pipe put in its place never holds the thread.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return QImage();
    QFile file;
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > maxEntryBytes
        || nanoseconds(status.st_mtim) < source.modifiedNs
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return QImage();
    }
    QBuffer buffer;
    buffer.setData(file.read(maxEntryBytes));
    if (!PngData::chunksFit(buffer.data()))
        return QImage();
    buffer.open(QIODevice::ReadOnly);
    // The picture is decoded only when its header has a cache size.
    QImageReader reader(&buffer, "png");
    const QSize size = reader.size();
    if (size.isEmpty() || size.width() > maxEntrySide || size.height() > maxEntrySide)
        return QImage();
    return reader.read();
}

// The recorded size of the whole picture, in the orientation the stored thumbnail shows:
// writers differ in whether they record it before or after standing the picture upright.
QSize recordedSize(const QImage &image)
{
    const QSize size(image.text(QLatin1String(widthKey)).toInt(),
                     image.text(QLatin1String(heightKey)).toInt());
    if (size.isEmpty())
        return QSize();
    const auto mismatch = [&](const QSize &candidate) {
        const QSize fitted = candidate.scaled(image.size(), Qt::KeepAspectRatio);
        return qAbs(fitted.width() - image.width()) + qAbs(fitted.height() - image.height());
    };
    return mismatch(size.transposed()) < mismatch(size) ? size.transposed() : size;
}

bool writeEntry(const QString &root, const QString &relative, const QString &name,
                const QImage &image)
{
    const QString folder = root + QLatin1Char('/') + relative;
    if (root.isEmpty() || !QDir::isAbsolutePath(root) || !makeFolders(folder))
        return false;
    // Written beside its final name and renamed over it, so that no reader ever sees half
    // an entry. Not synced to disk: a thumbnail lost in a crash is merely made again.
    QTemporaryFile file(folder + QStringLiteral("/.vireon-XXXXXX.png"));
    if (!file.open())
        return false;
    QImageWriter writer(&file, "png");
    // Little compression: thumbnails are small, and writing them must cost little time.
    writer.setQuality(80);
    if (!writer.write(image) || !file.flush())
        return false;
    const QString target = folder + QLatin1Char('/') + name;
    if (::rename(QFile::encodeName(file.fileName()).constData(),
                 QFile::encodeName(target).constData())
        != 0)
        return false;
    file.setAutoRemove(false);
    return true;
}

// Keeps a written entry only while the file is as the source saw it. The entry was made
// from the file as read after that: a rewrite in the same second to the same size would
// match its keys, and it was written after the rewrite, so nothing else would tell.
bool keepIfUnchanged(const ThumbnailCache::Source &source, const QString &entry)
{
    struct stat status;
    if (::stat(QFile::encodeName(source.path).constData(), &status) == 0
        && nanoseconds(status.st_mtim) == source.modifiedNs && status.st_size == source.size)
        return true;
    QFile::remove(entry);
    return false;
}

} // namespace

ThumbnailCache::ThumbnailCache(const QString &root) : folder(root)
{
    if (!folder.isEmpty()) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        canonicalFolder = canonical.isEmpty() ? QDir::cleanPath(folder) : canonical;
    }
}

QString ThumbnailCache::location()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return cache.isEmpty() ? QString() : cache + QStringLiteral("/thumbnails");
}

QByteArray ThumbnailCache::uri(const QString &canonicalPath)
{
    // The name's bytes, not its letters: a name in another encoding still has one URI.
    return QByteArrayLiteral("file://")
            + QFile::encodeName(canonicalPath).toPercentEncoding("/!$&'()*+,=:@");
}

QString ThumbnailCache::entryName(const QByteArray &uri)
{
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex())
            + QStringLiteral(".png");
}

ThumbnailCache::Source ThumbnailCache::source(const QString &path) const
{
    Source source;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    struct stat status;
    if (folder.isEmpty() || canonical.isEmpty()
        || ::stat(QFile::encodeName(canonical).constData(), &status) != 0
        || canonical.startsWith(canonicalFolder + QLatin1Char('/')))
        return source;
    source.uri = uri(canonical);
    source.path = canonical;
    source.name = entryName(source.uri);
    source.modified = status.st_mtim.tv_sec;
    source.modifiedNs = nanoseconds(status.st_mtim);
    source.size = status.st_size;
    return source;
}

ThumbnailCache::Entry ThumbnailCache::find(const Source &source) const
{
    if (!source.isValid())
        return Entry();
    for (const char *size : { "/normal/", "/large/" }) {
        QImage image = readEntry(folder + QLatin1String(size) + source.name, source);
        if (!image.isNull() && matches(image, source))
            return Entry { image, recordedSize(image) };
    }
    return Entry();
}

bool ThumbnailCache::holds(const QString &path) const
{
    const Source found = source(path);
    if (!found.isValid())
        return false;
    struct stat status;
    for (const char *size : { "/normal/", "/large/" }) {
        if (::stat(QFile::encodeName(folder + QLatin1String(size) + found.name).constData(),
                   &status)
            == 0)
            return true;
    }
    return false;
}

bool ThumbnailCache::hasFailed(const Source &source) const
{
    return source.isValid() && matches(readEntry(failPath(source), source), source);
}

bool ThumbnailCache::store(const Source &source, const QImage &picture, const QSize &imageSize,
                           const QString &mimeType) const
{
    if (!source.isValid() || picture.isNull())
        return false;
    const QSize box(normalSize, normalSize);
    QImage image = picture.width() > normalSize || picture.height() > normalSize
            ? picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation)
            : picture;
    image.setText(QLatin1String(uriKey), QString::fromUtf8(source.uri));
    image.setText(QLatin1String(modifiedKey), QString::number(source.modified));
    image.setText(QLatin1String(sizeKey), QString::number(source.size));
    image.setText(QLatin1String(widthKey), QString::number(imageSize.width()));
    image.setText(QLatin1String(heightKey), QString::number(imageSize.height()));
    if (!mimeType.isEmpty())
        image.setText(QLatin1String(mimeTypeKey), mimeType);
    image.setText(QLatin1String(softwareKey), QLatin1String(software));
    return writeEntry(folder, QStringLiteral("normal"), source.name, image)
            && keepIfUnchanged(source, normalPath(source));
}

bool ThumbnailCache::storeFailure(const Source &source) const
{
    if (!source.isValid())
        return false;
    QImage mark(1, 1, QImage::Format_ARGB32);
    mark.fill(Qt::transparent);
    mark.setText(QLatin1String(uriKey), QString::fromUtf8(source.uri));
    mark.setText(QLatin1String(modifiedKey), QString::number(source.modified));
    mark.setText(QLatin1String(sizeKey), QString::number(source.size));
    mark.setText(QLatin1String(softwareKey), QLatin1String(software));
    return writeEntry(folder, QLatin1String(failFolder), source.name, mark)
            && keepIfUnchanged(source, failPath(source));
}

QString ThumbnailCache::normalPath(const Source &source) const
{
    return folder + QStringLiteral("/normal/") + source.name;
}

QString ThumbnailCache::failPath(const Source &source) const
{
    return folder + QLatin1Char('/') + QLatin1String(failFolder) + QLatin1Char('/') + source.name;
}
