// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

#include <functional>

// Lists the serial port names to offer; throws EComPort when the list cannot be read.
using PortLister = std::function<QStringList()>;

// The machine's serial ports (ttyS0, ttyUSB0, ...), sorted as text without regard to case.
QStringList systemSerialPorts();
// Sorts port names as text without regard to case (ttyS10 before ttyS2).
QStringList sortedPortNames(QStringList names);
