#pragma once

#include <QImage>
#include <array>

// The brightness and contrast adjustment itself: a 256-entry table built from the two
// values, applied to the colour channels of an image and never to its alpha. Plain
// functions on images, safe to run on any thread.
class BrightnessContrast
{
public:
    using Table = std::array<uchar, 256>;

    struct Values
    {
        int brightness = 0;
        int contrast = 0;
    };

    static Table table(int brightness, int contrast);
    // The image in a format whose bytes are 8-bit channels (or palette indices), the
    // format the adjusted image keeps.
    static QImage prepared(const QImage &image);
    // An uninitialised image of the prepared image's size, format and metadata; an
    // indexed image gets its colour table adjusted and its indices copied by apply.
    static QImage blankResult(const QImage &prepared, const Table &table);
    // Fills rows [firstRow, firstRow + rowCount) of result from source. Only touches those
    // rows, so stripes of one image may run on several threads at once.
    static void apply(const QImage &source, QImage &result, const Table &table, int firstRow,
                      int rowCount);
    // Rows per stripe when one image is split over the global thread pool.
    static int stripeRows(int height);
    // The whole adjustment on the calling thread.
    static QImage adjusted(const QImage &image, int brightness, int contrast);
    // The values that stretch the image's darkest and brightest colours, ignoring pure
    // black and pure white.
    static Values autoValues(const QImage &image);
};
