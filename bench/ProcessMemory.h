// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>

// Memory of this process from /proc/self/status, in kilobytes: VmHWM is the peak resident set of this
// process image, VmRSS the resident set now. (ru_maxrss is no use in a child: Linux carries the parent's
// peak across fork and exec.) Zero where there is no such file.
namespace krambol::bench {

inline long statusKilobytes(const char* key)
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLong();
    return 0;
}

inline long peakRssKilobytes()
{
    return statusKilobytes("VmHWM:");
}

inline long rssKilobytes()
{
    return statusKilobytes("VmRSS:");
}

} // namespace krambol::bench
