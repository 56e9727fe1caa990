// SPDX-License-Identifier: MIT
#include "readings.h"

#include "cp1251.h"
#include "explode.h"
#include "readingsview.h"

Readings::Readings(ReadingsView *view)
    : m_view(view)
{ }

void Readings::ParseString()
{
    try {
        const QByteArray line = RxLine;
        Values.resize(kSlotCount);
        Explode(Values, QLatin1Char(' '), decodeCp1251(line));
        m_view->showValues(Values);
    } catch (...) {
        RxLine.clear();
        m_view->ShowFailure(QStringLiteral(" : Ошибка ParseString!!!"));
    }
}
