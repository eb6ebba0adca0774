// A thumbnail cache entry, which any program of the desktop may have written, as the
// cache lookup reads it: a normal entry, a large one, and a failure mark.
#include "fuzzing.h"

#include "browser/thumbnailcache.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void put(const QString &path, const uint8_t *data, size_t size)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char *>(data), qint64(size));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    Fuzzing::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir root;
    static const ThumbnailCache cache(root.path());
    static const ThumbnailCache::Source source = Fuzzing::cacheSource();
    static const bool made = QDir(root.path()).mkpath(QStringLiteral("normal"))
            && QDir(root.path()).mkpath(QStringLiteral("large"))
            && QDir().mkpath(QFileInfo(cache.failPath(source)).path());
    if (!made)
        return 0;

    const QString normal = cache.normalPath(source);
    const QString large = root.filePath(QStringLiteral("large/") + source.name);
    // The entry as the normal one, then, with no normal one, as the large one.
    put(normal, data, size);
    cache.find(source);
    QFile::remove(normal);
    put(large, data, size);
    cache.find(source);
    QFile::remove(large);
    put(cache.failPath(source), data, size);
    cache.hasFailed(source);
    return 0;
}
