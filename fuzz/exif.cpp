// The Exif readers of JPEG data: the orientation and the embedded preview, through both the
// byte-array and the device paths, which must agree and never point outside the data.
#include "fuzzing.h"

#include "browser/exifdata.h"
#include "browser/imagefile.h"

#include <QBuffer>

#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    Fuzzing::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzzing::bytes(data, size);
    const ExifData fromBytes = ExifData::read(bytes);

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(bytes.size() / 2);
    const ExifData fromDevice = ExifData::read(&buffer);
    check(buffer.pos() == bytes.size() / 2, "the device is left where it was");

    check(fromBytes.orientation == fromDevice.orientation
                  && fromBytes.previewOffset == fromDevice.previewOffset
                  && fromBytes.previewLength == fromDevice.previewLength,
          "both readers agree");
    check(fromBytes.orientation >= 1 && fromBytes.orientation <= 8, "orientation is 1 to 8");
    if (fromBytes.hasPreview())
        check(fromBytes.previewOffset + fromBytes.previewLength <= bytes.size(),
              "the preview lies inside the data");

    // Opening the data as an image file offers it to every image plugin, which costs far
    // more than the Exif reading; only a found preview needs it.
    if (fromBytes.hasPreview()) {
        ImageFile file(bytes);
        const QByteArray preview = file.embeddedPreview();
        check(preview.isEmpty() || preview.startsWith("\xFF\xD8"), "a preview is a JPEG");
    }
    return 0;
}
