// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QVariant>

#include <memory>
#include <utility>

class QSqlQuery;

// Owns the one database connection (ADOCon) and its statement object (ADOQuery1). Lives on
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

    // Runs a statement that returns no rows: close, clear, set text, bind, execute.
    void execute(const QString &text, const QList<std::pair<QString, QVariant>> &bindings = {});

    // Opens a transaction for the statements that follow; inside it each statement runs
    // under a savepoint, so one that fails is undone alone and the others stay.
    void beginBatch();
    void commitBatch();

private:
    QString scrubbed(QString message) const;
    void runPlain(const QString &text);
    void executeStatement(const QString &text,
                          const QList<std::pair<QString, QVariant>> &bindings);

    QString m_connectionName;
    QString m_connectionString;
    QString m_password;
    std::unique_ptr<QSqlQuery> ADOQuery1;
    bool m_inBatch = false;
};
