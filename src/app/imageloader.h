#pragma once

#include <QImage>
#include <QString>

// A request to load one image file on a worker thread.
struct LoadInfo {
    QString fileName;
    bool newWindow = true;
};

// The result: the decoded image, turned as the file asks; null when unreadable.
struct ImageInfo {
    QImage image;
    QString fileName;
    bool newWindow = true;
};

// Runs on a pool thread; touches no widget.
ImageInfo loadImageFile(const LoadInfo &info);
