#pragma once

#include <QByteArray>

// A test image format that, like several of Qt's format plugins, learns the size of its
// picture only while decoding it. Its files are "BLIND", a width and a height (32 bits
// each, big-endian) and nothing more; decoding makes a grey picture of that size. A test
// executable that uses it imports its plugin with Q_IMPORT_PLUGIN(BlindImagePlugin).
class BlindImageFormat
{
public:
    static QByteArray file(quint32 width, quint32 height);
    // How many pictures of this format have been decoded in this process.
    static int decodes();
};
