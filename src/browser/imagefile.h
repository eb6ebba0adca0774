#pragma once

#include <QByteArray>
#include <QImage>

// Reading image files safely, shared by the image loader and the thumbnail maker.

// The turn in degrees (0, 90, 180 or 270) that a JPEG file's Exif data asks for; 0 when
// there is none or the data is damaged. Never reads outside data.
int imageOrientation(const QByteArray &data);
// Turns the image by whole quarter turns of degrees.
void rotateImage(QImage &image, int degrees);
// True when an image of this size would need more than 1 GiB as 32-bit pixels.
bool imageTooLarge(const QSize &size);
// Decodes file data; a null image when it is no image or declares a size too large to
// hold, so that a small hostile file cannot exhaust memory.
QImage decodeImage(const QByteArray &data);
