// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// Bytes from the serial line are one character per byte, read as Windows-1251 (Cyrillic).
QString decodeCp1251(const QByteArray &bytes);
