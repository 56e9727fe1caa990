// SPDX-License-Identifier: MIT
#include <datetimetext.h>

#include <QTest>

class tst_DateTimeText : public QObject
{
    Q_OBJECT
private slots:
    void text_data();
    void text();
};

void tst_DateTimeText::text_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("expected");

    const QDate day(2026, 3, 7);
    QTest::newRow("ru: ordinary time")
        << "ru_RU" << QDateTime(day, QTime(9, 5, 3)) << "07.03.2026 09:05:03";
    QTest::newRow("ru: midnight shows the date alone")
        << "ru_RU" << QDateTime(day, QTime(0, 0)) << "07.03.2026";
    QTest::newRow("ru: milliseconds past midnight still count as midnight")
        << "ru_RU" << QDateTime(day, QTime(0, 0, 0, 500)) << "07.03.2026";
    QTest::newRow("ru: one second past midnight")
        << "ru_RU" << QDateTime(day, QTime(0, 0, 1)) << "07.03.2026 00:00:01";
    QTest::newRow("en_US: no time-zone name")
        << "en_US" << QDateTime(day, QTime(21, 30, 0)) << "3/7/26 9:30:00 PM";
}

void tst_DateTimeText::text()
{
    QFETCH(QString, locale);
    QFETCH(QDateTime, moment);
    QFETCH(QString, expected);
    QCOMPARE(dateTimeText(moment, QLocale(locale)), expected);
}

QTEST_GUILESS_MAIN(tst_DateTimeText)
#include "tst_datetimetext.moc"
