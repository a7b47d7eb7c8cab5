#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <unistd.h>

namespace testsupport {

// A process's resident memory in KiB, from /proc (statm: program size, then resident pages);
// this process's own when pid is 0, -1 where it cannot be read.
inline qint64 ResidentKiB(qint64 pid = 0)
{
    QFile statm(
        pid == 0 ? QStringLiteral("/proc/self/statm") : QStringLiteral("/proc/%1/statm").arg(pid));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) / 1024 : -1;
}

} // namespace testsupport
