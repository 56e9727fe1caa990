// SPDX-License-Identifier: MIT
#include "explode.h"

void Explode(QStringList &parts, QChar separator, const QString &text)
{
    qsizetype slot = 0;
    qsizetype start = 0;
    while (slot < parts.size()) {
        const qsizetype end = text.indexOf(separator, start);
        if (end < 0) {
            parts[slot] = text.mid(start);
            return;
        }
        parts[slot++] = text.mid(start, end - start);
        start = end + 1;
    }
}
