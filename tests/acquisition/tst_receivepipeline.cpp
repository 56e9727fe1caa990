// SPDX-License-Identifier: MIT
#include <lineframer.h>
#include <pipelinesteps.h>
#include <readingsview.h>
#include <receivepipeline.h>

#include <QTest>

namespace {

// Writes every step of the pipeline into one journal, so order is checked too.
class Journal : public ReadingsView, public PipelineSteps
{
public:
    void showValues(const QStringList &values) override { entries << "show " + values.join('|'); }
    void LogLine(const QString &suffix) override { entries << "log" + suffix; }
    void ShowFailure(const QString &suffix) override { entries << "failure" + suffix; }
    void SaveSQL(const QString &t1) override { entries << "save " + t1; }
    void DeleteOldest() override { entries << "delete"; }
    void beginBatch() override { entries << "begin"; }
    void endBatch() override { entries << "end"; }
    QStringList entries;
};

} // namespace

class tst_ReceivePipeline : public QObject
{
    Q_OBJECT
private slots:
    void framing_data();
    void framing();
    void overflowIsDroppedOnce();
    void stepsAndPauses();
};

void tst_ReceivePipeline::framing_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<QByteArray>("waiting");

    QTest::newRow("one line") << QByteArrayList { "21.5 19.0\r" } << QByteArrayList { "21.5 19.0" }
                              << QByteArray();
    QTest::newRow("line in three chunks") << QByteArrayList { "21.", "5 19", ".0\r" }
                                          << QByteArrayList { "21.5 19.0" } << QByteArray();
    QTest::newRow("two lines in one chunk, start of a third")
        << QByteArrayList { "1 2\r3 4\r5" } << QByteArrayList { "1 2", "3 4" } << QByteArray("5");
    QTest::newRow("CR LF in one chunk")
        << QByteArrayList { "1 2\r\n3 4\r\n" } << QByteArrayList { "1 2", "3 4" } << QByteArray();
    QTest::newRow("CR LF split across chunks") << QByteArrayList { "21.5\r", "\n19.0\r", "\n" }
                                               << QByteArrayList { "21.5", "19.0" } << QByteArray();
    QTest::newRow("lone line feeds")
        << QByteArrayList { "1\n2\n" } << QByteArrayList { "1", "2" } << QByteArray();
    QTest::newRow("empty lines are skipped")
        << QByteArrayList { "\r\r\n\n1\r\r" } << QByteArrayList { "1" } << QByteArray();
    QTest::newRow("line feed later in a chunk is not swallowed")
        << QByteArrayList { "1\r", "2\n" } << QByteArrayList { "1", "2" } << QByteArray();
    QTest::newRow("no terminator waits")
        << QByteArrayList { "21.5 ", "19" } << QByteArrayList {} << QByteArray("21.5 19");
}

void tst_ReceivePipeline::framing()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QByteArrayList, lines);
    QFETCH(QByteArray, waiting);

    LineFramer framer;
    QByteArray buffer;
    QByteArrayList got;
    for (const QByteArray &chunk : chunks) {
        const auto result = framer.append(buffer, chunk);
        QVERIFY(!result.overflowed);
        got += result.lines;
    }
    QCOMPARE(got, lines);
    QCOMPARE(buffer, waiting);
}

void tst_ReceivePipeline::overflowIsDroppedOnce()
{
    LineFramer framer;
    QByteArray buffer;
    int overflows = 0;
    for (int i = 0; i < 10; ++i) {
        const auto result = framer.append(buffer, QByteArray(1000, 'x'));
        overflows += result.overflowed;
        QVERIFY(result.lines.isEmpty());
        QVERIFY(buffer.size() <= LineFramer::kMaxLineBytes);
    }
    QCOMPARE(overflows, 1);
    // The next line starts afresh after the terminator.
    const auto result = framer.append(buffer, "tail\r21.5\r");
    QCOMPARE(result.lines, QByteArrayList { "21.5" });
}

void tst_ReceivePipeline::stepsAndPauses()
{
    Journal journal;
    ReceivePipeline pipeline(journal, journal);
    pipeline.pause = [&](int ms) { journal.entries << QStringLiteral("pause %1").arg(ms); };
    pipeline.saveEnabled = true;
    pipeline.deleteEnabled = true;

    pipeline.BComPort1RxChar("1 2\r3 4 5 6 7\r8");
    const QStringList expected { "begin", "show 1|2|||", "save 1", "delete", "end",
        "show 3|4|5|6|7", "pause 100", "save 3", "pause 100", "delete", "pause 100" };
    QCOMPARE(journal.entries, expected);

    journal.entries.clear();
    pipeline.saveEnabled = false;
    pipeline.BComPort1RxChar(QByteArray(5000, 'x'));
    pipeline.BComPort1RxChar("\r9\r");
    QCOMPARE(journal.entries,
        (QStringList { "log : Переполнение буфера приёма!", "show 9|4|5|6|7", "pause 100",
            "pause 100", "delete", "pause 100" }));

    // Nothing to store: no transaction is opened for the burst.
    journal.entries.clear();
    pipeline.deleteEnabled = false;
    pipeline.BComPort1RxChar("1\r2\r");
    QCOMPARE(journal.entries,
        (QStringList {
            "show 1|4|5|6|7", "show 2|4|5|6|7", "pause 100", "pause 100", "pause 100" }));

    journal.entries.clear();
    pipeline.BComPort1RxChar("12");
    pipeline.readFailed();
    pipeline.BComPort1RxChar("3\r");
    QCOMPARE(journal.entries.first(), QStringLiteral("failure : Ошибка BComPort1RxChar!!!"));
    QCOMPARE(journal.entries.at(1), QStringLiteral("show 3|4|5|6|7"));
}

QTEST_GUILESS_MAIN(tst_ReceivePipeline)
#include "tst_receivepipeline.moc"
