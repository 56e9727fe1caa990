// SPDX-License-Identifier: MIT
#include "benchprobes.h"

#include <QMutexLocker>

void BenchView::showValues(const QStringList &values)
{
    const auto now = BenchClock::now();
    ++linesShown;
    bool whole = false;
    const qint64 seq = values.value(0).toLongLong(&whole);
    if (!whole || values.value(4) != QLatin1String(kMarker)) {
        ++linesMerged;
        return;
    }
    if (!recordTimes)
        return;
    QMutexLocker lock(&mutex);
    shownAt.insert(seq, now);
}

void BenchView::LogLine(const QString &)
{
    ++logLines;
}

void BenchView::ShowFailure(const QString &)
{
    ++logLines;
}

void TimedSteps::SaveSQL(const QString &t1)
{
    const qint64 failuresBefore = m_view.logLines;
    m_steps->SaveSQL(t1);
    if (m_view.logLines != failuresBefore)
        return;
    bool whole = false;
    const qint64 seq = t1.toLongLong(&whole);
    if (!whole)
        return;
    if (m_inBatch) {
        m_uncommitted.append(seq);
        return;
    }
    const auto now = BenchClock::now();
    QMutexLocker lock(&mutex);
    committedAt.insert(seq, now);
}

void TimedSteps::beginBatch()
{
    m_steps->beginBatch();
    m_inBatch = true;
}

void TimedSteps::endBatch()
{
    const qint64 failuresBefore = m_view.logLines;
    m_steps->endBatch();
    m_inBatch = false;
    const auto now = BenchClock::now();
    if (m_view.logLines == failuresBefore) {
        QMutexLocker lock(&mutex);
        for (const qint64 seq : std::as_const(m_uncommitted))
            committedAt.insert(seq, now);
    }
    m_uncommitted.clear();
}