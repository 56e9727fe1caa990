// SPDX-License-Identifier: MIT
#include "storage.h"

#include "storageworker.h"
#include "temperaturetable.h"

#include <pirolan/pirolanerror.h>

#include <QCoreApplication>
#include <QSemaphore>

#include <optional>

namespace {

struct Failure
{
    QString kind;
    QString message;
};

[[noreturn]] void rethrow(const Failure &failure)
{
    if (failure.kind == QLatin1String("EOleException"))
        throw EOleException(failure.message);
    if (failure.kind == QLatin1String("EDatabaseError"))
        throw EDatabaseError(failure.message);
    throw PirolanError(failure.kind, failure.message);
}

} // namespace

Storage::Storage()
    : m_worker(new StorageWorker)
{
    m_thread.setObjectName(QStringLiteral("storage"));
    m_worker->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
}

Storage::~Storage()
{
    DisconnectDatabase();
    m_thread.quit();
    m_thread.wait();
}

void Storage::run(const std::function<void(StorageWorker &)> &job)
{
    std::optional<Failure> failure;
    QSemaphore done;
    QCoreApplication *app = QCoreApplication::instance();
    const bool waitWithEvents = app && QThread::currentThread() == app->thread();

    QMetaObject::invokeMethod(
        m_worker,
        [&, app, waitWithEvents] {
            try {
                job(*m_worker);
            } catch (const PirolanError &error) {
                failure = Failure { error.kind(), error.message() };
            } catch (const std::exception &error) {
                failure = Failure { QStringLiteral("EDatabaseError"),
                    QString::fromLocal8Bit(error.what()) };
            }
            done.release();
            // Wakes the waiting GUI thread; the application object outlives every call.
            if (waitWithEvents)
                QMetaObject::invokeMethod(
                    app, [] {}, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);

    if (waitWithEvents) {
        while (!done.tryAcquire())
            QCoreApplication::processEvents(
                QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    } else {
        done.acquire();
    }
    if (failure)
        rethrow(*failure);
}

void Storage::ConnectDatabase(const QString &connectionString)
{
    run([&](StorageWorker &worker) { worker.connectDatabase(connectionString); });
}

void Storage::DisconnectDatabase()
{
    run([](StorageWorker &worker) { worker.disconnectDatabase(); });
}

bool Storage::isOpen()
{
    bool open = false;
    run([&](StorageWorker &worker) { open = worker.isOpen(); });
    return open;
}

void Storage::storeReading(const QDateTime &moment, const QString &t1)
{
    run([&](StorageWorker &worker) {
        worker.execute(TemperatureTable::kStore,
            { { QStringLiteral(":DataTime"), moment }, { QStringLiteral(":T1"), t1 } });
    });
}

void Storage::deleteOldest()
{
    run([](StorageWorker &worker) { worker.execute(TemperatureTable::kDeleteOldest); });
}

void Storage::beginBatch()
{
    run([](StorageWorker &worker) { worker.beginBatch(); });
}

void Storage::commitBatch()
{
    run([](StorageWorker &worker) { worker.commitBatch(); });
}

void Storage::clearTable()
{
    run([](StorageWorker &worker) { worker.execute(TemperatureTable::kClear); });
}
