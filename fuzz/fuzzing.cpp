#include "fuzzing.h"

#include <QApplication>

namespace Fuzzing {

void startApplication(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Readers report damaged input through warnings; millions of them would only slow
    // the run down.
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.warning=false");
    // Never destroyed: the platform's teardown at exit is no part of what is tested, and a
    // live application stays reachable for the leak checker.
    static QApplication *application = new QApplication(*argc, *argv);
    Q_UNUSED(application)
}

QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), int(qMin<size_t>(size, INT_MAX)));
}

ThumbnailCache::Source cacheSource()
{
    ThumbnailCache::Source source;
    source.uri = ThumbnailCache::uri(QStringLiteral("/home/user/Pictures/photo 1.jpg"));
    source.name = ThumbnailCache::entryName(source.uri);
    source.modified = 1700000000;
    source.modifiedNs = source.modified * 1000000000;
    source.size = 123456;
    return source;
}

} // namespace Fuzzing
