// SPDX-License-Identifier: MIT
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// Splits text at every separator and writes the pieces into parts from slot 0 up.
// Only the slots reached are written; pieces beyond the last slot are dropped.
void Explode(QStringList &parts, QChar separator, const QString &text);
