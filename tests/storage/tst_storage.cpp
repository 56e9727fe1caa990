// SPDX-License-Identifier: MIT
#include "storagefixture.h"

#include <storage.h>
#include <storageworker.h>

#include <pirolan/pirolanerror.h>

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlError>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

using namespace StorageFixture;

namespace {

struct Row
{
    QDateTime time;
    double value;
};

// Reads the table back through a connection of the test's own thread.
QList<Row> tableRows(const QString &backend, const QString &sqliteFile)
{
    QList<Row> rows;
    withTestConnection(backend, sqliteFile, [&](QSqlDatabase &db) {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("SELECT Время, Темп_Улица FROM Темп ORDER BY Время")))
            qFatal("verify query: %s", qPrintable(query.lastError().text()));
        while (query.next()) {
            const QVariant time = query.value(0);
            // SQLite keeps the time as ISO text; the servers hand back a timestamp.
            rows.append({ time.typeId() == QMetaType::QString
                    ? QDateTime::fromString(time.toString(), Qt::ISODateWithMs)
                    : time.toDateTime(),
                query.value(1).toDouble() });
        }
    });
    return rows;
}

template <typename E, typename F> QString expectFailure(F &&f)
{
    try {
        f();
    } catch (const E &error) {
        return error.message();
    } catch (const PirolanError &error) {
        return QStringLiteral("wrong kind: ") + error.kind() + " - " + error.message();
    }
    return QStringLiteral("no failure");
}

} // namespace

class tst_Storage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void statements_data();
    void statements();
    void refusals_data();
    void refusals();
    void changeRefusedWhileOpen();
    void batchFailsStatementAlone_data();
    void batchFailsStatementAlone();
    void storingWhileClearing_data();
    void storingWhileClearing();
    void guiKeepsRunningDuringSlowCall();
    void sqlServerClosedPort();
    void sqlServerSendsPreLoginAndTimesOut();

private:
    void backends();

    QTemporaryDir m_dir;
    QString m_sqliteFile;
};

void tst_Storage::initTestCase()
{
    QVERIFY(m_dir.isValid());
    writeDataSource(m_dir);
}

void tst_Storage::init()
{
    QTest::failOnWarning(QRegularExpression("does not belong to the calling thread"));
    QTest::failOnWarning(QRegularExpression("QSqlDatabasePrivate::removeDatabase"));
    m_sqliteFile = createSqliteFile(
        m_dir, QStringLiteral("t%1.sqlite").arg(QRandomGenerator::global()->generate()));
}

void tst_Storage::backends()
{
    QTest::addColumn<QString>("backend");
    QTest::newRow("sqlite") << "sqlite";
    QTest::newRow("postgresql") << "postgresql";
}

void tst_Storage::statements_data()
{
    backends();
}

void tst_Storage::statements()
{
    QFETCH(QString, backend);
    PIROLAN_SKIP_WITHOUT_SERVER(backend);

    Storage storage;
    storage.ConnectDatabase(connectionFor(backend, m_sqliteFile));
    QVERIFY(storage.isOpen());
    storage.clearTable();
    // Deleting the oldest row of an empty table succeeds.
    storage.deleteOldest();

    const QDateTime t0(QDate(2026, 1, 13), QTime(23, 59, 59, 998));
    storage.storeReading(t0, "-1.5");
    storage.storeReading(t0.addMSecs(1), "21.5");
    storage.storeReading(t0.addMSecs(2), "22");
    QList<Row> rows = tableRows(backend, m_sqliteFile);
    QCOMPARE(rows.size(), 3);
    // Milliseconds survive, so readings within one second keep their order.
    QCOMPARE(rows[0].time, t0);
    QCOMPARE(rows[1].time, t0.addMSecs(1));
    QCOMPARE(rows[2].time, t0.addMSecs(2));
    QCOMPARE(rows[0].value, -1.5);
    QCOMPARE(rows[1].value, 21.5);

    storage.deleteOldest();
    rows = tableRows(backend, m_sqliteFile);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].value, 21.5);

    // Two rows sharing the smallest time both go.
    const QDateTime early = t0.addDays(-1);
    storage.storeReading(early, "1");
    storage.storeReading(early, "2");
    storage.deleteOldest();
    QCOMPARE(tableRows(backend, m_sqliteFile).size(), 2);

    storage.clearTable();
    QCOMPARE(tableRows(backend, m_sqliteFile).size(), 0);
    storage.DisconnectDatabase();
    QVERIFY(!storage.isOpen());
    storage.DisconnectDatabase();
}

void tst_Storage::refusals_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("refusal");
    for (const char *backend : { "sqlite", "postgresql" })
        QTest::addRow("%s: reading not a number", backend) << backend << "not a number";
    QTest::newRow("sqlite: file missing") << "sqlite"
                                          << "missing file";
    QTest::newRow("sqlite: table missing") << "sqlite"
                                           << "missing table";
    QTest::newRow("postgresql: wrong password") << "postgresql"
                                                << "wrong password";
    QTest::newRow("postgresql: server down") << "postgresql"
                                             << "server down";
    QTest::newRow("postgresql: database missing") << "postgresql"
                                                  << "missing database";
    QTest::newRow("postgresql: table missing") << "postgresql"
                                               << "missing table";
}

void tst_Storage::refusals()
{
    QFETCH(QString, backend);
    QFETCH(QString, refusal);
    PIROLAN_SKIP_WITHOUT_SERVER(backend);

    const bool pg = backend == QLatin1String("postgresql");
    const QString password = pg ? postgresPassword() : QStringLiteral("Sekr3t;pw");
    const QString user = qEnvironmentVariable("PIROLAN_PG_USER");
    QString text = connectionFor(backend, m_sqliteFile);
    bool failsAtConnect = true;
    if (refusal == "not a number") {
        failsAtConnect = false;
    } else if (refusal == "missing file") {
        text = composeConnectionString({ m_dir.filePath("none.sqlite"), "sa", password, false });
    } else if (refusal == "missing table") {
        failsAtConnect = false;
        if (!pg) {
            m_sqliteFile = m_dir.filePath("empty.sqlite");
            QFile empty(m_sqliteFile);
            QVERIFY(empty.open(QIODevice::WriteOnly));
            text = connectionFor(backend, m_sqliteFile);
        } else {
            text.replace("Initial Catalog=Температура", "Initial Catalog=postgres");
        }
    } else if (refusal == "wrong password") {
        text = composeConnectionString({ kDataSource, user, password + "x", false });
    } else if (refusal == "missing database") {
        text.replace("Initial Catalog=Температура", "Initial Catalog=Нет_такой");
    } else if (refusal == "server down") {
        QTemporaryDir dir;
        QFile ini(dir.filePath("odbc.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Down]\nDriver=PostgreSQL Unicode\nServername=127.0.0.1\nPort=1\n");
        ini.close();
        const QByteArray saved = qgetenv("ODBCINI");
        qputenv("ODBCINI", QFile::encodeName(ini.fileName()));
        Storage storage;
        const QString message = expectFailure<EOleException>([&] {
            storage.ConnectDatabase(composeConnectionString({ "Down", user, password, false }));
        });
        qputenv("ODBCINI", saved);
        QVERIFY2(!message.startsWith("no failure") && !message.startsWith("wrong kind"),
            qPrintable(message));
        QVERIFY(!message.contains(password));
        QVERIFY(!storage.isOpen());
        return;
    }

    Storage storage;
    const QString message = expectFailure<EOleException>([&] {
        storage.ConnectDatabase(text);
        QVERIFY(!failsAtConnect);
        storage.storeReading(
            QDateTime::currentDateTime(), refusal == "not a number" ? "abc" : "21.5");
    });
    qInfo() << refusal << "->" << message;
    QVERIFY2(!message.startsWith("no failure") && !message.startsWith("wrong kind"),
        qPrintable(message));
    QVERIFY(!message.isEmpty());
    QVERIFY2(!message.contains(password), "the password reached an error text");
    QCOMPARE(storage.isOpen(), !failsAtConnect);
    if (refusal == "not a number")
        QCOMPARE(tableRows(backend, m_sqliteFile).size(), 0);
}

void tst_Storage::changeRefusedWhileOpen()
{
    Storage storage;
    const QString text = connectionFor("sqlite", m_sqliteFile);
    storage.ConnectDatabase(text);
    storage.ConnectDatabase(text);
    const QString message = expectFailure<EDatabaseError>([&] {
        storage.ConnectDatabase(
            composeConnectionString({ m_dir.filePath("other"), "", "", false }));
    });
    QVERIFY2(!message.startsWith("no failure") && !message.startsWith("wrong kind"),
        qPrintable(message));
    QVERIFY(storage.isOpen());
}

void tst_Storage::batchFailsStatementAlone_data()
{
    backends();
}

// The rows of a burst are committed together, but a reading the server refuses still fails
// alone: the rows around it stay.
void tst_Storage::batchFailsStatementAlone()
{
    QFETCH(QString, backend);
    PIROLAN_SKIP_WITHOUT_SERVER(backend);

    Storage storage;
    storage.ConnectDatabase(connectionFor(backend, m_sqliteFile));
    storage.clearTable();
    const QDateTime t0 = QDateTime::currentDateTime();
    storage.beginBatch();
    storage.storeReading(t0, "1");
    QVERIFY_THROWS_EXCEPTION(EOleException, storage.storeReading(t0.addMSecs(1), "abc"));
    storage.storeReading(t0.addMSecs(2), "3");
    storage.deleteOldest();
    storage.storeReading(t0.addMSecs(3), "4");
    storage.commitBatch();
    const QList<Row> rows = tableRows(backend, m_sqliteFile);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].value, 3.0);
    QCOMPARE(rows[1].value, 4.0);

    // Outside a batch every statement commits at once again.
    storage.storeReading(t0.addMSecs(4), "5");
    QCOMPARE(tableRows(backend, m_sqliteFile).size(), 3);
}

void tst_Storage::storingWhileClearing_data()
{
    backends();
}

// A reader thread stores numbered readings while this thread clears the table again and
// again. Statements never interleave, so what is left must be exactly the readings stored
// after the last clear: an unbroken run up to the last one.
void tst_Storage::storingWhileClearing()
{
    QFETCH(QString, backend);
    PIROLAN_SKIP_WITHOUT_SERVER(backend);

    Storage storage;
    storage.ConnectDatabase(connectionFor(backend, m_sqliteFile));
    storage.clearTable();
    constexpr int kReadings = 300;
    std::atomic<int> failures = 0;
    std::atomic<bool> finished = false;
    const QDateTime start = QDateTime::currentDateTime();
    QThread *reader = QThread::create([&] {
        for (int i = 0; i < kReadings; ++i) {
            try {
                storage.storeReading(start.addMSecs(i), QString::number(i));
            } catch (const PirolanError &) {
                ++failures;
            }
        }
        finished = true;
    });
    reader->start();
    int clears = 0;
    while (!finished) {
        storage.clearTable();
        ++clears;
        QThread::msleep(5);
    }
    QVERIFY(reader->wait(60000));
    delete reader;
    QCOMPARE(failures.load(), 0);
    QVERIFY(clears > 1);

    const QList<Row> rows = tableRows(backend, m_sqliteFile);
    QVERIFY(!rows.isEmpty() || clears > 0);
    for (qsizetype i = 0; i < rows.size(); ++i)
        QCOMPARE(rows[i].value, double(kReadings - rows.size() + i));
}

void tst_Storage::guiKeepsRunningDuringSlowCall()
{
    Storage storage;
    int ticks = 0;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start();
    storage.run([](StorageWorker &) { QThread::msleep(400); });
    QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
}

void tst_Storage::sqlServerClosedPort()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();

    Storage storage;
    QElapsedTimer clock;
    clock.start();
    const QString message = expectFailure<EOleException>([&] {
        storage.ConnectDatabase(composeConnectionString(
            { QStringLiteral("127.0.0.1,%1").arg(port), "sa", "Sekr3tPw", false }));
    });
    if (message.contains("FreeTDS") && message.contains("tdsodbc"))
        QSKIP("the FreeTDS ODBC driver is not installed");
    QVERIFY2(!message.startsWith("no failure") && !message.startsWith("wrong kind"),
        qPrintable(message));
    QVERIFY(!message.contains("Sekr3tPw"));
    QVERIFY2(clock.elapsed() < 30000, "a refused connection must not hang");
}

// A listener that takes the TCP connection and never answers: the driver must send its TDS
// pre-login (packet type 0x12) to the given host and port, and give up after the login
// timeout instead of hanging.
void tst_Storage::sqlServerSendsPreLoginAndTimesOut()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    QByteArray received;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket *socket = server.nextPendingConnection();
        QObject::connect(
            socket, &QTcpSocket::readyRead, [&received, socket] { received += socket->readAll(); });
    });

    Storage storage;
    QElapsedTimer clock;
    clock.start();
    const QString message = expectFailure<EOleException>([&] {
        storage.ConnectDatabase(composeConnectionString(
            { QStringLiteral("127.0.0.1,%1").arg(server.serverPort()), "sa", "x", false }));
    });
    if (message.contains("tdsodbc"))
        QSKIP("the FreeTDS ODBC driver is not installed");
    QVERIFY2(!message.startsWith("no failure") && !message.startsWith("wrong kind"),
        qPrintable(message));
    QVERIFY(!received.isEmpty());
    QCOMPARE(quint8(received.at(0)), quint8(0x12));
    qInfo() << "gave up after" << clock.elapsed() << "ms:" << message;
    QVERIFY2(clock.elapsed() < 60000, "the login timeout did not bound the attempt");
}

QTEST_GUILESS_MAIN(tst_Storage)
#include "tst_storage.moc"
