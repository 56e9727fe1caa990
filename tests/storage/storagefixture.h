// SPDX-License-Identifier: MIT
// Databases for the storage tests: a fresh SQLite file from sql/, and the PostgreSQL server
// that scripts/test starts, reached through a DSN written for the test.
#pragma once

#include <connectionstring.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace StorageFixture {

inline constexpr char kDataSource[] = "PirolanTest";

inline bool postgresAvailable()
{
    return qEnvironmentVariableIsSet("PIROLAN_PG_PORT");
}

inline QString postgresPassword()
{
    QFile file(qEnvironmentVariable("PIROLAN_PG_PASSWORD_FILE"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

// Writes a user odbc.ini naming the test server and points unixODBC at it. Call before the
// first ODBC use in the process.
inline void writeDataSource(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("odbc.ini"));
    QFile ini(path);
    if (!ini.open(QIODevice::WriteOnly))
        qFatal("cannot write odbc.ini");
    ini.write(QStringLiteral("[%1]\nDriver=PostgreSQL Unicode\nServername=%2\nPort=%3\n"
                             "Database=Температура\n")
                  .arg(QLatin1String(kDataSource), qEnvironmentVariable("PIROLAN_PG_HOST"),
                      qEnvironmentVariable("PIROLAN_PG_PORT"))
                  .toUtf8());
    qputenv("ODBCINI", QFile::encodeName(path));
}

// A new SQLite file holding the table.
inline QString createSqliteFile(const QTemporaryDir &dir, const QString &name = "t.sqlite")
{
    const QString path = dir.filePath(name);
    QProcess sqlite;
    sqlite.setStandardInputFile(QStringLiteral(PIROLAN_SOURCE_DIR "/sql/sqlite.sql"));
    sqlite.start(QStringLiteral("sqlite3"), { path });
    if (!sqlite.waitForFinished(10000) || sqlite.exitCode() != 0)
        qFatal("sqlite3 failed to create the table");
    return path;
}

inline QString connectionFor(const QString &backend, const QString &sqliteFile)
{
    if (backend == QLatin1String("sqlite"))
        return composeConnectionString({ sqliteFile, "sa", "", false });
    return composeConnectionString({ QLatin1String(kDataSource),
        qEnvironmentVariable("PIROLAN_PG_USER"), postgresPassword(), false });
}

// Runs work on a connection of the calling thread to the test's database, apart from the
// one Pirolan's storage thread holds.
inline void withTestConnection(const QString &backend, const QString &sqliteFile,
    const std::function<void(QSqlDatabase &)> &work)
{
    const QString name = QStringLiteral("test-side");
    {
        QSqlDatabase db;
        if (backend == QLatin1String("sqlite")) {
            db = QSqlDatabase::addDatabase("QSQLITE", name);
            db.setDatabaseName(sqliteFile);
        } else {
            db = QSqlDatabase::addDatabase("QODBC", name);
            db.setDatabaseName(
                QStringLiteral("%1;UID=%2;PWD=%3;")
                    .arg(QLatin1String(kDataSource), qEnvironmentVariable("PIROLAN_PG_USER"),
                        postgresPassword()));
        }
        if (!db.open())
            qFatal("test connection: %s", qPrintable(db.lastError().text()));
        work(db);
    }
    QSqlDatabase::removeDatabase(name);
}

// The stored T1 values in time order.
inline QList<double> storedValues(const QString &backend, const QString &sqliteFile)
{
    QList<double> values;
    withTestConnection(backend, sqliteFile, [&](QSqlDatabase &db) {
        QSqlQuery query(QStringLiteral("SELECT Темп_Улица FROM Темп ORDER BY Время"), db);
        while (query.next())
            values.append(query.value(0).toDouble());
    });
    return values;
}

inline void emptyTable(const QString &backend, const QString &sqliteFile)
{
    withTestConnection(backend, sqliteFile,
        [](QSqlDatabase &db) { QSqlQuery(QStringLiteral("DELETE FROM Темп"), db); });
}

} // namespace StorageFixture

// Skips the current row (only it) when it needs the PostgreSQL server and there is none.
#define PIROLAN_SKIP_WITHOUT_SERVER(backend)                                                       \
    do {                                                                                           \
        if ((backend) == QLatin1String("postgresql") && !StorageFixture::postgresAvailable())      \
            QSKIP("no PostgreSQL test server (scripts/test starts one)");                          \
    } while (false)
