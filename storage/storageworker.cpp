// SPDX-License-Identifier: MIT
#include "storageworker.h"

#include "databasetarget.h"
#include "odbccatalog.h"

#include <pirolan/pirolanerror.h>

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("ADOCon-%1").arg(counter.fetchAndAddRelaxed(1));
}

// One line of text: the event log has one line per event.
QString sqlErrorText(const QSqlError &error)
{
    const QString driver = error.driverText().simplified();
    const QString database = error.databaseText().simplified();
    if (database.isEmpty())
        return driver;
    if (driver.isEmpty() || database.contains(driver))
        return database;
    return database + QStringLiteral(" (") + driver + QLatin1Char(')');
}

} // namespace

StorageWorker::StorageWorker()
    : m_connectionName(nextConnectionName())
{ }

StorageWorker::~StorageWorker()
{
    disconnectDatabase();
}

bool StorageWorker::isOpen() const
{
    return QSqlDatabase::contains(m_connectionName)
        && QSqlDatabase::database(m_connectionName, false).isOpen();
}

void StorageWorker::connectDatabase(const QString &connectionString)
{
    if (isOpen()) {
        if (connectionString != m_connectionString)
            throw EDatabaseError(QStringLiteral(
                "Операция не допускается при открытом соединении (смена строки соединения)"));
        return;
    }
    disconnectDatabase();
    m_connectionString = connectionString;

    const DatabaseTarget target
        = resolveDatabaseTarget(connectionString, OdbcCatalog::dataSourceNames());
    m_password = target.password;
    if (!QSqlDatabase::isDriverAvailable(target.driver)) {
        const char *package
            = target.driver == QLatin1String("QSQLITE") ? "libqt6sql6-sqlite" : "libqt6sql6-odbc";
        throw EDatabaseError(QStringLiteral("Драйвер Qt SQL %1 не установлен (пакет Debian %2)")
                                 .arg(target.driver, QLatin1String(package)));
    }
    if (target.kind == DatabaseTarget::Kind::SqlServer
        && !OdbcCatalog::driverNames().contains(QLatin1String(kFreeTdsDriver))) {
        throw EDatabaseError(
            QStringLiteral("Драйвер ODBC %1 для SQL Server не зарегистрирован (пакет Debian %2)")
                .arg(QLatin1String(kFreeTdsDriver), QLatin1String(kFreeTdsPackage)));
    }
    // Pirolan never creates the database: a missing file is refused like a missing database.
    if (target.kind == DatabaseTarget::Kind::SqliteFile
        && !QFileInfo(target.databaseName).isFile()) {
        throw EOleException(
            QStringLiteral("Файл базы данных не найден: %1").arg(target.databaseName));
    }

    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(target.driver, m_connectionName);
        db.setDatabaseName(target.databaseName);
        db.setConnectOptions(target.kind == DatabaseTarget::Kind::SqliteFile
                ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000")
                : target.connectOptions);
        if (!db.open())
            failure = scrubbed(sqlErrorText(db.lastError()));
    }
    if (!failure.isNull()) {
        disconnectDatabase();
        throw EOleException(
            failure.isEmpty() ? QStringLiteral("Соединение не установлено") : failure);
    }
}

void StorageWorker::disconnectDatabase()
{
    m_inBatch = false;
    m_statements.clear();
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

void StorageWorker::execute(
    const QString &text, const QList<std::pair<QString, QVariant>> &bindings)
{
    if (!isOpen())
        throw EDatabaseError(QStringLiteral("Нет соединения с базой данных"));
    if (!m_inBatch) {
        executeStatement(text, bindings);
        return;
    }
    try {
        executeStatement(text, bindings);
        m_batchLog.append({ text, bindings });
    } catch (const PirolanError &) {
        // Some servers (PostgreSQL) abort the whole transaction on one failed statement. Undo
        // the batch and redo it statement by statement, each committed on its own, so this
        // statement fails alone and the rows before it stay.
        QSqlDatabase::database(m_connectionName, false).rollback();
        m_inBatch = false;
        const QList<LoggedStatement> done = std::exchange(m_batchLog, {});
        for (const LoggedStatement &statement : done) {
            try {
                executeStatement(statement.text, statement.bindings);
            } catch (const PirolanError &) {
                // It went through once; if it fails now the connection itself is failing,
                // and this statement's own failure below tells the operator so.
            }
        }
        executeStatement(text, bindings);
    }
}

void StorageWorker::beginBatch()
{
    if (!isOpen() || m_inBatch)
        return;
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.transaction())
        throw EOleException(scrubbed(sqlErrorText(db.lastError())));
    m_inBatch = true;
    m_batchLog.clear();
}

void StorageWorker::commitBatch()
{
    if (!m_inBatch)
        return;
    m_inBatch = false;
    m_batchLog.clear();
    if (!isOpen())
        return;
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    for (auto &entry : m_statements)
        entry.second->finish();
    if (!db.commit()) {
        const QString message = scrubbed(sqlErrorText(db.lastError()));
        db.rollback();
        throw EOleException(message);
    }
}

void StorageWorker::executeStatement(
    const QString &text, const QList<std::pair<QString, QVariant>> &bindings)
{
    QSqlQuery &query = prepared(text);
    query.finish();
    for (const auto &[name, value] : bindings)
        query.bindValue(name, value);
    if (!query.exec()) {
        const QString message = scrubbed(sqlErrorText(query.lastError()));
        forget(text);
        throw EOleException(message);
    }
    query.finish();
}

// Each statement text is prepared once per connection and reused: preparing it again for
// every reading would cost a round trip to the server each time.
QSqlQuery &StorageWorker::prepared(const QString &text)
{
    for (auto &[preparedText, query] : m_statements) {
        if (preparedText == text)
            return *query;
    }
    auto query = std::make_unique<QSqlQuery>(QSqlDatabase::database(m_connectionName, false));
    query->setForwardOnly(true);
    if (!query->prepare(text))
        throw EOleException(scrubbed(sqlErrorText(query->lastError())));
    m_statements.emplace_back(text, std::move(query));
    return *m_statements.back().second;
}

// A statement that failed is prepared afresh next time (the connection may have been reset).
void StorageWorker::forget(const QString &text)
{
    std::erase_if(m_statements, [&](const auto &entry) { return entry.first == text; });
}

// Drivers have no business repeating the password, but make sure it never reaches a text.
QString StorageWorker::scrubbed(QString message) const
{
    if (m_password.size() >= 3)
        message.replace(m_password, QStringLiteral("***"));
    return message;
}
