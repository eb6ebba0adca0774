#include "pngdata.h"

#include <QtEndian>

namespace PngData {

bool chunksFit(const QByteArray &data)
{
    // Signature, then chunks of length, type, data and checksum.
    qint64 at = 8;
    while (at + 8 <= data.size()) {
        const quint32 length = qFromBigEndian<quint32>(data.constData() + at);
        if (length > data.size() - at - 12)
            return false;
        if (data.mid(int(at) + 4, 4) == "IEND")
            break;
        at += 12 + qint64(length);
    }
    return true;
}

} // namespace PngData
