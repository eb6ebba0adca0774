#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// The thumbnail cache that file managers and image viewers of the desktop share: PNGs named
// by the MD5 of the file's URI under the user's cache folder, valid while the URI,
// modification time and size they record match the file. Reads 128-pixel ("normal")
// entries, or 256-pixel ("large") ones when there is no normal one; writes normal entries,
// and marks files that fail to decode so that they are not tried again until they change.
// Holds nothing but its folder, so any number of threads may use caches at once.
class ThumbnailCache
{
public:
    static constexpr int normalSize = 128;

    // A file as the cache knows it.
    struct Source
    {
        QByteArray uri;
        QString path; // canonical
        QString name; // of its entries
        qint64 modified = -1; // seconds since the epoch
        qint64 modifiedNs = -1; // nanoseconds since the epoch
        qint64 size = -1;
        bool isValid() const { return !uri.isEmpty(); }
    };

    // A valid entry: the stored thumbnail, standing upright, and the size of the whole
    // upright picture when the entry records it (invalid otherwise).
    struct Entry
    {
        QImage image;
        QSize imageSize;
        bool isValid() const { return !image.isNull(); }
    };

    // The cache under root; by default the user's, which may not exist yet.
    explicit ThumbnailCache(const QString &root = location());
    static QString location();
    QString root() const { return folder; }

    // The URI of a canonical path with every byte escaped except letters, digits and
    // -._~!$&'()*+,=:@/, as the desktop's file managers escape it.
    static QByteArray uri(const QString &canonicalPath);
    // The file name of the entries of a URI.
    static QString entryName(const QByteArray &uri);

    // The file at path; invalid when it cannot be found or lives inside the cache itself.
    Source source(const QString &path) const;
    Entry find(const Source &source) const;
    // Whether an entry file for the path exists, valid or not; cheap enough to ask for a
    // screenful of files on the GUI thread.
    bool holds(const QString &path) const;
    bool hasFailed(const Source &source) const;
    // Writes the normal entry from an upright picture (scaled down to fit 128 pixels) made
    // from the file, which is imageSize large upright; false when it could not be written,
    // or when the file no longer is as the source saw it (then nothing is kept).
    bool store(const Source &source, const QImage &picture, const QSize &imageSize,
               const QString &mimeType) const;
    bool storeFailure(const Source &source) const;

    QString normalPath(const Source &source) const;
    QString failPath(const Source &source) const;

private:
    QString folder;
    QString canonicalFolder;
};
