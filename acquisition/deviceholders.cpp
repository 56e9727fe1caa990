// SPDX-License-Identifier: MIT
#include "deviceholders.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace DeviceHolders {

bool othersHold(const QString &path)
{
    struct stat device = {};
    if (::stat(QFile::encodeName(path).constData(), &device) != 0 || !S_ISCHR(device.st_mode))
        return false;
    const QString self = QString::number(::getpid());
    const QStringList processes = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &pid : processes) {
        if (pid == self || pid.isEmpty() || !pid.front().isDigit())
            continue;
        const QString fdDir = QStringLiteral("/proc/") + pid + QStringLiteral("/fd");
        const QStringList fds = QDir(fdDir).entryList(QDir::Files | QDir::System);
        for (const QString &fd : fds) {
            struct stat held = {};
            const QByteArray link = QFile::encodeName(fdDir + QLatin1Char('/') + fd);
            if (::stat(link.constData(), &held) == 0 && S_ISCHR(held.st_mode)
                && held.st_rdev == device.st_rdev)
                return true;
        }
    }
    return false;
}

} // namespace DeviceHolders
