// SPDX-License-Identifier: MIT
#include "portlist.h"

#include <pirolan/pirolanerror.h>

#include <QDir>
#include <QSerialPortInfo>

#include <algorithm>

QStringList sortedPortNames(QStringList names)
{
    std::stable_sort(names.begin(), names.end(),
        [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

QStringList systemSerialPorts()
{
    // The serial device map of this system: the kernel's tty class in sysfs.
    if (!QDir(QStringLiteral("/sys/class/tty")).isReadable())
        throw EComPort(QStringLiteral("Ошибка обращения к системному реестру"));
    QStringList names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        names.append(info.portName());
    return sortedPortNames(names);
}
