// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QString>
#include <QThread>

#include <functional>

class StorageWorker;

// The storage thread and the one connection it owns. Every call runs there, in the order
// submitted, and the caller waits for its result; failures come back as the PirolanError
// they were (EDatabaseError, EOleException). Callable from any thread. While the GUI thread
// waits it keeps repainting and running queued calls, but takes no operator input.
class Storage
{
public:
    Storage();
    ~Storage();
    Storage(const Storage &) = delete;
    Storage &operator=(const Storage &) = delete;

    void ConnectDatabase(const QString &connectionString);
    void DisconnectDatabase();
    bool isOpen();

    // The three table statements.
    void storeReading(const QDateTime &moment, const QString &t1);
    void deleteOldest();
    void clearTable();

    // Statements between these two are committed together; each one still fails alone.
    void beginBatch();
    void commitBatch();

    // Runs job on the storage thread and waits; a PirolanError it throws is thrown here.
    void run(const std::function<void(StorageWorker &)> &job);

private:
    QThread m_thread;
    StorageWorker *m_worker = nullptr;
};
