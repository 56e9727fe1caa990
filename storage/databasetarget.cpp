// SPDX-License-Identifier: MIT
#include "databasetarget.h"

#include "connectionstring.h"

QString odbcValue(const QString &value)
{
    const bool plain = !value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('{'))
        && !value.contains(QLatin1Char('}')) && !value.contains(QLatin1Char('='))
        && (value.isEmpty() || (!value.front().isSpace() && !value.back().isSpace()));
    // Some drivers (psqlODBC for UID) do not unwrap braces, so plain values go bare.
    if (plain)
        return value;
    QString inner = value;
    inner.replace(QLatin1String("}"), QLatin1String("}}"));
    return QLatin1Char('{') + inner + QLatin1Char('}');
}

namespace {

bool isIntegrated(const QList<ConnectionKey> &keys)
{
    const QString value = connectionValue(keys, QStringLiteral("Integrated Security"));
    return value.compare(QLatin1String("SSPI"), Qt::CaseInsensitive) == 0
        || value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

QString loginPart(const QList<ConnectionKey> &keys)
{
    if (isIntegrated(keys))
        return {};
    return QStringLiteral("UID=") + odbcValue(connectionValue(keys, QStringLiteral("User ID")))
        + QStringLiteral(";PWD=") + odbcValue(connectionValue(keys, QStringLiteral("PASSWORD")))
        + QLatin1Char(';');
}

} // namespace

DatabaseTarget resolveDatabaseTarget(
    const QString &connectionString, const QStringList &odbcDataSources)
{
    const QList<ConnectionKey> keys = parseConnectionString(connectionString);
    const QString source = connectionValue(keys, QStringLiteral("Data Source"));
    const QString catalog = connectionValue(keys, QStringLiteral("Initial Catalog"));
    DatabaseTarget target;
    if (!isIntegrated(keys))
        target.password = connectionValue(keys, QStringLiteral("PASSWORD"));

    if (source.contains(QLatin1Char('/')) || source.startsWith(QLatin1String("file:"))) {
        target.kind = DatabaseTarget::Kind::SqliteFile;
        target.driver = QStringLiteral("QSQLITE");
        target.databaseName = source.startsWith(QLatin1String("file:")) ? source.mid(5) : source;
        target.password.clear();
        return target;
    }

    target.driver = QStringLiteral("QODBC");
    if (odbcDataSources.contains(source, Qt::CaseInsensitive)) {
        target.kind = DatabaseTarget::Kind::OdbcDataSource;
        // Qt's ODBC driver puts "DSN=" in front of the name itself, unless the text looks
        // like a full connection string already; data source names hold no special characters.
        const QString rest = QStringLiteral(";DATABASE=") + odbcValue(catalog) + QLatin1Char(';')
            + loginPart(keys);
        const bool lookslikeFullString
            = rest.contains(QLatin1String("DRIVER="), Qt::CaseInsensitive)
            || rest.contains(QLatin1String("SERVER="), Qt::CaseInsensitive);
        target.databaseName
            = (lookslikeFullString ? QStringLiteral("DSN=") : QString()) + source + rest;
        return target;
    }

    // SQL Server: host, host\instance (asks the SQL Server Browser), or host,port.
    target.kind = DatabaseTarget::Kind::SqlServer;
    QString server = source;
    QString port;
    if (const qsizetype comma = source.lastIndexOf(QLatin1Char(',')); comma > 0) {
        server = source.left(comma).trimmed();
        port = source.mid(comma + 1).trimmed();
    }
    target.databaseName = QStringLiteral("DRIVER=") + QLatin1String(kFreeTdsDriver)
        + QStringLiteral(";SERVER=") + odbcValue(server) + QLatin1Char(';')
        + (port.isEmpty() ? QString() : QStringLiteral("PORT=") + odbcValue(port) + ';')
        + QStringLiteral("DATABASE=") + odbcValue(catalog) + QLatin1Char(';')
        + (isIntegrated(keys) ? QStringLiteral("Trusted_Connection=Yes;") : loginPart(keys))
        + QStringLiteral("TDS_Version=7.4;ClientCharset=UTF-8;");
    target.connectOptions = QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(kLoginTimeoutSeconds);
    return target;
}
