// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// The user's short date format.
QString shortDateText(QDate date, const QLocale &locale = QLocale::system());
// The user's long time format without the time-zone name (hours, minutes, seconds).
QString longTimeText(QTime time, const QLocale &locale = QLocale::system());
// Short date, a space, long time; just the date when hour, minute and second are all zero.
// Used for the event log, the message boxes and the status clock.
QString dateTimeText(const QDateTime &moment, const QLocale &locale = QLocale::system());
