#pragma once

#include <QFile>

// The most address space the process has held, in bytes (VmPeak; -1 when unknown): an
// allocation of what a hostile header claims shows here even when its pages are never touched.
inline qint64 peakAddressSpace()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmPeak:"))
            return line.mid(7).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}
