#pragma once

#include <QFile>

// A size field of /proc/self/status ("VmPeak", "VmRSS"), in bytes; -1 when unknown.
inline qint64 processStatusBytes(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = field + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

// The most address space the process has held, in bytes: an allocation of what a hostile
// header claims shows here even when its pages are never touched.
inline qint64 peakAddressSpace()
{
    return processStatusBytes("VmPeak");
}

// The process's resident set size in bytes.
inline qint64 residentBytes()
{
    return processStatusBytes("VmRSS");
}
