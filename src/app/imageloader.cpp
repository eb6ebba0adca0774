#include "imageloader.h"

#include "browser/imagefile.h"

#include <QFile>

ImageInfo loadImageFile(const LoadInfo &info)
{
    ImageInfo result;
    result.fileName = info.fileName;
    result.newWindow = info.newWindow;
    QFile file(info.fileName);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    const QByteArray data = file.readAll();
    file.close();
    result.image = decodeImage(data);
    const int degrees = imageOrientation(data);
    if (degrees > 0)
        rotateImage(result.image, degrees);
    return result;
}
