// SPDX-License-Identifier: MIT
#include "tablestatements.h"

#include <readingsview.h>
#include <storage.h>

#include <pirolan/pirolanerror.h>

#include <QDateTime>

TableStatements::TableStatements(Storage &storage, ReadingsView &view)
    : m_storage(storage)
    , m_view(view)
{ }

void TableStatements::SaveSQL(const QString &t1)
{
    try {
        if (t1.isEmpty())
            throw EDatabaseError(QStringLiteral("Поле T1 пусто, показание не записано"));
        m_storage.storeReading(QDateTime::currentDateTime(), t1);
    } catch (const PirolanError &error) {
        logStoreFailure(error);
    }
}

void TableStatements::beginBatch()
{
    try {
        m_storage.beginBatch();
    } catch (const PirolanError &error) {
        logStoreFailure(error);
    }
}

void TableStatements::endBatch()
{
    try {
        m_storage.commitBatch();
    } catch (const PirolanError &error) {
        logStoreFailure(error);
    }
}

// A reading that was not stored is logged; the window is not brought back for it.
void TableStatements::logStoreFailure(const PirolanError &error)
{
    m_view.LogLine(QStringLiteral(" : Ошибка SaveSQL!!! ") + error.kind() + QStringLiteral(" - ")
        + error.message());
}

void TableStatements::DeleteOldest()
{
    try {
        m_storage.deleteOldest();
    } catch (const PirolanError &) {
        m_view.ShowFailure(QStringLiteral(" : DelMySQL!!!"));
    }
}
