// SPDX-License-Identifier: MIT
#pragma once

#include <pipelinesteps.h>
#include <readingsview.h>

#include <QHash>
#include <QMutex>

#include <atomic>
#include <chrono>
#include <memory>

using BenchClock = std::chrono::steady_clock;

// Stands in for the window: counts the lines shown and checks each is one whole line.
class BenchView : public ReadingsView
{
public:
    void showValues(const QStringList &values) override;
    void LogLine(const QString &suffix) override;
    void ShowFailure(const QString &suffix) override;

    // The marker every bench line carries in T5; a merged line would not end with it.
    static constexpr char kMarker[] = "64.29";

    std::atomic<qint64> linesShown = 0;
    std::atomic<qint64> linesMerged = 0;
    std::atomic<qint64> logLines = 0;
    // Off while memory is measured: the bench's own records would be counted as growth.
    std::atomic<bool> recordTimes = true;
    // When each sequence number was shown (reader thread), for runs that do not store.
    QHash<qint64, BenchClock::time_point> shownAt;
    QMutex mutex;
};

// The real storing steps, timed: when SaveSQL returns, the row is committed.
class TimedSteps : public PipelineSteps
{
public:
    TimedSteps(std::unique_ptr<PipelineSteps> steps, const BenchView &view)
        : m_steps(std::move(steps))
        , m_view(view)
    { }

    void SaveSQL(const QString &t1) override;
    void DeleteOldest() override { m_steps->DeleteOldest(); }
    void beginBatch() override;
    void endBatch() override;

    QHash<qint64, BenchClock::time_point> committedAt;
    // Stores of the batch in hand: committed only when the batch ends.
    QList<qint64> m_uncommitted;
    bool m_inBatch = false;
    QMutex mutex;

private:
    std::unique_ptr<PipelineSteps> m_steps;
    // A failed store is logged through the view; its count tells success from failure.
    const BenchView &m_view;
};
