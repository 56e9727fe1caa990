// SPDX-License-Identifier: MIT
#include <cp1251.h>
#include <explode.h>
#include <readings.h>
#include <readingsview.h>

#include <QTest>

namespace {

class RecordingView : public ReadingsView
{
public:
    void showValues(const QStringList &values) override { shown.append(values); }
    void LogLine(const QString &suffix) override { logged.append(suffix); }
    void ShowFailure(const QString &suffix) override { failures.append(suffix); }

    QList<QStringList> shown;
    QStringList logged;
    QStringList failures;
};

} // namespace

class tst_Readings : public QObject
{
    Q_OBJECT
private slots:
    void parseString_data();
    void parseString();
    void explodeWritesOnlyTheSlotsItHas();
    void decodesWindows1251();
};

void tst_Readings::parseString_data()
{
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("five fields, carriage return kept in the last")
        << QByteArrayList { "21.5 19.0 18.7 20.1 64.2\r" }
        << QStringList { "21.5", "19.0", "18.7", "20.1", "64.2\r" };
    QTest::newRow("three fields after five keep T4 and T5")
        << QByteArrayList { "21.5 19.0 18.7 20.1 64.2", "1 2 3" }
        << QStringList { "1", "2", "3", "20.1", "64.2" };
    QTest::newRow("a first short line leaves T4 and T5 empty")
        << QByteArrayList { "1 2 3" } << QStringList { "1", "2", "3", "", "" };
    QTest::newRow("two spaces give an empty piece")
        << QByteArrayList { "1  2" } << QStringList { "1", "", "2", "", "" };
    QTest::newRow("a lone carriage return")
        << QByteArrayList { "\r" } << QStringList { "\r", "", "", "", "" };
    QTest::newRow("more than five fields: the rest is dropped")
        << QByteArrayList { "1 2 3 4 5 6 7" } << QStringList { "1", "2", "3", "4", "5" };
    QTest::newRow("trailing space gives an empty last piece")
        << QByteArrayList { "1 2 3 4 " } << QStringList { "1", "2", "3", "4", "" };
    QTest::newRow("a leading line feed stays in slot 0")
        << QByteArrayList { "\n21.5 19.0" } << QStringList { "\n21.5", "19.0", "", "", "" };
}

void tst_Readings::parseString()
{
    QFETCH(QByteArrayList, lines);
    QFETCH(QStringList, shown);

    RecordingView view;
    Readings readings(&view);
    for (const QByteArray &line : lines) {
        readings.RxLine = line;
        readings.ParseString();
    }
    QCOMPARE(view.shown.size(), lines.size());
    QCOMPARE(view.shown.last(), shown);
    QCOMPARE(readings.Values, shown);
    QVERIFY(view.failures.isEmpty());
    QCOMPARE(readings.RxLine, lines.last());
}

void tst_Readings::explodeWritesOnlyTheSlotsItHas()
{
    QStringList parts { "a", "b", "c" };
    Explode(parts, QLatin1Char(','), QStringLiteral("1,2,3,4,5"));
    QCOMPARE(parts, (QStringList { "1", "2", "3" }));

    parts = QStringList { "a", "b", "c" };
    Explode(parts, QLatin1Char(','), QString());
    QCOMPARE(parts, (QStringList { "", "b", "c" }));
}

void tst_Readings::decodesWindows1251()
{
    QCOMPARE(decodeCp1251("\xD2\xE5\xEC\xEF 21.5 \xA8\xB8"), QStringLiteral("Темп 21.5 Ёё"));
    QCOMPARE(decodeCp1251(QByteArray("a\0b", 3)), QString(QStringLiteral("a") + QChar(0) + "b"));
}

QTEST_GUILESS_MAIN(tst_Readings)
#include "tst_readings.moc"
