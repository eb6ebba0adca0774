// Image bytes as a file in a listed folder or an opened document meets them: the thumbnail
// maker's whole path (embedded preview, scaled decode, orientation) and the document
// loader, both behind the size guards that keep a small file from taking gigabytes.
#include "fuzzing.h"

#include "app/imageloader.h"
#include "browser/thumbnailmaker.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // A cache that cannot be made: the maker looks it up and tries to store, and the run
    // leaves no entries behind.
    qputenv("XDG_CACHE_HOME", "/dev/null/cache");
    Fuzzing::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("input"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();

    ThumbnailMaker::make(path);
    LoadInfo load;
    load.fileName = path;
    loadImageFile(load);
    return 0;
}
