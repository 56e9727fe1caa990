// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The statements Pirolan runs on its table of readings, Темп (Время, Темп_Улица).
namespace TemperatureTable {

inline const QString kStore
    = QStringLiteral("INSERT INTO Темп (Время, Темп_Улица) VALUES (:DataTime,:T1)");
inline const QString kDeleteOldest
    = QStringLiteral("DELETE FROM Темп WHERE Время=(SELECT min(Время) FROM Темп)");
inline const QString kClear = QStringLiteral("DELETE FROM Темп");

} // namespace TemperatureTable
