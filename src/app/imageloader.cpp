#include "imageloader.h"

#include "browser/imagefile.h"

ImageInfo loadImageFile(const LoadInfo &info)
{
    ImageInfo result;
    result.fileName = info.fileName;
    result.newWindow = info.newWindow;
    result.image = ImageFile::load(info.fileName);
    return result;
}
