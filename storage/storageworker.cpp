// SPDX-License-Identifier: MIT
#include "storageworker.h"

#include "databasetarget.h"
#include "odbccatalog.h"

#include <pirolan/pirolanerror.h>

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlDriver>
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
        if (db.open()) {
            ADOQuery1 = std::make_unique<QSqlQuery>(db);
            ADOQuery1->setForwardOnly(true);
        } else {
            failure = scrubbed(sqlErrorText(db.lastError()));
        }
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
    ADOQuery1.reset();
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
    if (!isOpen() || !ADOQuery1)
        throw EDatabaseError(QStringLiteral("Нет соединения с базой данных"));
    if (!m_inBatch) {
        executeStatement(text, bindings);
        return;
    }
    const bool sqlServer = QSqlDatabase::database(m_connectionName, false).driver()->dbmsType()
        == QSqlDriver::MSSqlServer;
    runPlain(sqlServer ? QStringLiteral("SAVE TRANSACTION pirolan_statement")
                       : QStringLiteral("SAVEPOINT pirolan_statement"));
    try {
        executeStatement(text, bindings);
    } catch (const PirolanError &) {
        runPlain(sqlServer ? QStringLiteral("ROLLBACK TRANSACTION pirolan_statement")
                           : QStringLiteral("ROLLBACK TO SAVEPOINT pirolan_statement"));
        throw;
    }
    if (!sqlServer)
        runPlain(QStringLiteral("RELEASE SAVEPOINT pirolan_statement"));
}

void StorageWorker::beginBatch()
{
    if (!isOpen() || m_inBatch)
        return;
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.transaction())
        throw EOleException(scrubbed(sqlErrorText(db.lastError())));
    m_inBatch = true;
}

void StorageWorker::commitBatch()
{
    if (!m_inBatch)
        return;
    m_inBatch = false;
    if (!isOpen())
        return;
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    ADOQuery1->finish();
    if (!db.commit()) {
        const QString message = scrubbed(sqlErrorText(db.lastError()));
        db.rollback();
        throw EOleException(message);
    }
}

void StorageWorker::runPlain(const QString &text)
{
    ADOQuery1->finish();
    if (!ADOQuery1->exec(text))
        throw EOleException(scrubbed(sqlErrorText(ADOQuery1->lastError())));
}

void StorageWorker::executeStatement(
    const QString &text, const QList<std::pair<QString, QVariant>> &bindings)
{
    ADOQuery1->finish();
    ADOQuery1->clear();
    ADOQuery1->setForwardOnly(true);
    if (!ADOQuery1->prepare(text))
        throw EOleException(scrubbed(sqlErrorText(ADOQuery1->lastError())));
    for (const auto &[name, value] : bindings)
        ADOQuery1->bindValue(name, value);
    if (!ADOQuery1->exec())
        throw EOleException(scrubbed(sqlErrorText(ADOQuery1->lastError())));
    ADOQuery1->finish();
}

// Drivers have no business repeating the password, but make sure it never reaches a text.
QString StorageWorker::scrubbed(QString message) const
{
    if (m_password.size() >= 3)
        message.replace(m_password, QStringLiteral("***"));
    return message;
}
