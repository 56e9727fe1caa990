// SPDX-License-Identifier: MIT
#include <connectionstring.h>
#include <databasetarget.h>

#include <QTest>

class tst_DatabaseTarget : public QObject
{
    Q_OBJECT
private slots:
    void resolve_data();
    void resolve();
};

void tst_DatabaseTarget::resolve_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("integrated");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("driver");
    QTest::addColumn<QString>("databaseName");
    QTest::addColumn<QString>("options");

    const int sqlite = int(DatabaseTarget::Kind::SqliteFile);
    const int dsn = int(DatabaseTarget::Kind::OdbcDataSource);
    const int mssql = int(DatabaseTarget::Kind::SqlServer);
    const QString timeout = "SQL_ATTR_LOGIN_TIMEOUT=10";
    const QString tail = "TDS_Version=7.4;ClientCharset=UTF-8;";

    QTest::newRow("path: SQLite file") << "/var/lib/pirolan/t.sqlite"
                                       << "pw" << false << sqlite << "QSQLITE"
                                       << "/var/lib/pirolan/t.sqlite"
                                       << "";
    QTest::newRow("file: prefix") << "file:data/t.sqlite"
                                  << "" << false << sqlite << "QSQLITE"
                                  << "data/t.sqlite"
                                  << "";
    QTest::newRow("configured data source") << "Station"
                                            << "pw" << false << dsn << "QODBC"
                                            << "Station;DATABASE=Температура;UID=sa;PWD=pw;"
                                            << "";
    QTest::newRow("data source, password that looks like a key")
        << "Station"
        << "xSERVER=y" << false << dsn << "QODBC"
        << "DSN=Station;DATABASE=Температура;UID=sa;PWD={xSERVER=y};"
        << "";
    QTest::newRow("data source, integrated login") << "station"
                                                   << "pw" << true << dsn << "QODBC"
                                                   << "station;DATABASE=Температура;"
                                                   << "";
    QTest::newRow("host\\instance")
        << "db1\\SQLEXPRESS"
        << "pw" << false << mssql << "QODBC"
        << "DRIVER=FreeTDS;SERVER=db1\\SQLEXPRESS;DATABASE=Температура;UID=sa;PWD=pw;" + tail
        << timeout;
    QTest::newRow("host,port skips the browser lookup")
        << "10.0.0.5,1433"
        << "pw" << false << mssql << "QODBC"
        << "DRIVER=FreeTDS;SERVER=10.0.0.5;PORT=1433;DATABASE=Температура;UID=sa;"
           "PWD=pw;"
            + tail
        << timeout;
    QTest::newRow("integrated login: Kerberos")
        << "db1"
        << "pw" << true << mssql << "QODBC"
        << "DRIVER=FreeTDS;SERVER=db1;DATABASE=Температура;Trusted_Connection=Yes;" + tail
        << timeout;
    QTest::newRow("braces and semicolons reach the driver whole")
        << "db1"
        << "a}b;PWD=x" << false << mssql << "QODBC"
        << "DRIVER=FreeTDS;SERVER=db1;DATABASE=Температура;UID=sa;PWD={a}}b;PWD=x};" + tail
        << timeout;
}

void tst_DatabaseTarget::resolve()
{
    QFETCH(QString, server);
    QFETCH(QString, password);
    QFETCH(bool, integrated);
    QFETCH(int, kind);
    QFETCH(QString, driver);
    QFETCH(QString, databaseName);
    QFETCH(QString, options);

    const QString text = composeConnectionString({ server, "sa", password, integrated });
    const DatabaseTarget target = resolveDatabaseTarget(text, { "Station", "Other" });
    QCOMPARE(int(target.kind), kind);
    QCOMPARE(target.driver, driver);
    QCOMPARE(target.databaseName, databaseName);
    QCOMPARE(target.connectOptions, options);
}

QTEST_GUILESS_MAIN(tst_DatabaseTarget)
#include "tst_databasetarget.moc"
