// SPDX-License-Identifier: MIT
#include "datetimetext.h"

namespace {

// Drops the time-zone fields ('t' outside quotes) from a time format.
QString withoutZone(const QString &format)
{
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        result.append(c);
    }
    return result.simplified();
}

} // namespace

QString shortDateText(QDate date, const QLocale &locale)
{
    return locale.toString(date, QLocale::ShortFormat);
}

QString longTimeText(QTime time, const QLocale &locale)
{
    return locale.toString(time, withoutZone(locale.timeFormat(QLocale::LongFormat)));
}

QString dateTimeText(const QDateTime &moment, const QLocale &locale)
{
    const QTime time = moment.time();
    const QString date = shortDateText(moment.date(), locale);
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return date;
    return date + QLatin1Char(' ') + longTimeText(time, locale);
}
