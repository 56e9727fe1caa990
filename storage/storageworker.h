// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QVariant>

#include <memory>
#include <utility>
#include <vector>

class QSqlQuery;

// Owns the one database connection (ADOCon) and its statements (ADOQuery1). Lives on
// the storage thread; every method runs there and reports failures by throwing PirolanError,
// which the Storage caught there and hands back to the caller as a value.
class StorageWorker : public QObject
{
    Q_OBJECT
public:
    StorageWorker();
    ~StorageWorker() override;

    // Opens the connection a composed connection string leads to. With the connection open,
    // the same string changes nothing and a different one is refused (EDatabaseError).
    void connectDatabase(const QString &connectionString);
    void disconnectDatabase();
    bool isOpen() const;

    // Runs a statement that returns no rows: close its result, bind, execute.
    void execute(const QString &text, const QList<std::pair<QString, QVariant>> &bindings = {});

    // Opens a transaction for the statements that follow; they are committed together, yet
    // one that fails still fails alone and the others stay.
    void beginBatch();
    void commitBatch();

private:
    QString scrubbed(QString message) const;
    QSqlQuery &prepared(const QString &text);
    void forget(const QString &text);
    void executeStatement(const QString &text, const QList<std::pair<QString, QVariant>> &bindings);

    QString m_connectionName;
    QString m_connectionString;
    QString m_password;
    // ADOQuery1: the prepared statements of this connection, one per statement text.
    std::vector<std::pair<QString, std::unique_ptr<QSqlQuery>>> m_statements;
    struct LoggedStatement
    {
        QString text;
        QList<std::pair<QString, QVariant>> bindings;
    };
    bool m_inBatch = false;
    // The statements of the open batch, to redo one by one if one of them fails.
    QList<LoggedStatement> m_batchLog;
};
