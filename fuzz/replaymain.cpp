// Runs a fuzz target over files instead of under libFuzzer: each argument is an input
// file or a folder of them. The test suite replays the seeds and every past finding this
// way, so a fixed fault stays fixed in every build.
#include "fuzzing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char **argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    QStringList inputs;
    for (int i = 1; i < argc; ++i) {
        const QString path = QFile::decodeName(argv[i]);
        const QFileInfo info(path);
        if (info.isDir()) {
            const QDir folder(path);
            for (const QString &name : folder.entryList(QDir::Files, QDir::Name))
                inputs << folder.filePath(name);
        } else if (info.isFile()) {
            inputs << path;
        } else {
            // A target may have no past findings yet.
            std::printf("%s: not found, skipped\n", argv[i]);
        }
    }
    for (const QString &input : qAsConst(inputs)) {
        QFile file(input);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(input));
            return 1;
        }
        const QByteArray data = file.readAll();
        std::printf("%s\n", qPrintable(input));
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(data.constData()),
                               size_t(data.size()));
    }
    std::printf("%lld inputs replayed\n", static_cast<long long>(inputs.size()));
    // Nothing replayed proves nothing: the seeds are always there.
    return inputs.isEmpty() ? 1 : 0;
}
