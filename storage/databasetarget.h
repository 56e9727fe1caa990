// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// Where a connection string leads, in the terms of Qt SQL.
struct DatabaseTarget
{
    enum class Kind { SqliteFile, OdbcDataSource, SqlServer };

    Kind kind = Kind::SqlServer;
    QString driver; // "QSQLITE" or "QODBC"
    QString databaseName; // the file, or the ODBC connection string (it holds the password)
    QString connectOptions; // for QSqlDatabase::setConnectOptions
    QString password; // kept only to scrub it from driver messages
};

// The registered name of the FreeTDS ODBC driver and the Debian package that brings it.
inline constexpr char kFreeTdsDriver[] = "FreeTDS";
inline constexpr char kFreeTdsPackage[] = "tdsodbc";
inline constexpr int kLoginTimeoutSeconds = 10;

// Reads a composed connection string and decides how to open it:
//  - a Data Source with "/" or starting with "file:" is an SQLite file;
//  - one naming a configured ODBC data source (odbcDataSources) is opened through it;
//  - anything else is Microsoft SQL Server through the FreeTDS driver, without a DSN.
DatabaseTarget resolveDatabaseTarget(
    const QString &connectionString, const QStringList &odbcDataSources);

// Quotes a value for an ODBC connection string where it needs it: {value} with "}" doubled.
QString odbcValue(const QString &value);
