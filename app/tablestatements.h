// SPDX-License-Identifier: MIT
#pragma once

#include <pipelinesteps.h>

#include <QString>

class PirolanError;
class ReadingsView;
class Storage;

// Storing a reading and deleting the oldest one, with the operator's view of their failures.
// Runs on the reader thread; the statements themselves run on the storage thread.
class TableStatements : public PipelineSteps
{
public:
    TableStatements(Storage &storage, ReadingsView &view);

    // Stores T1 with the current local time (milliseconds kept). A failure is logged, the
    // reading is not retried. An empty T1 is not sent: it would be stored as 0.
    void SaveSQL(const QString &t1) override;
    // Deletes the rows with the smallest time; a failure gives the failure notice.
    void DeleteOldest() override;
    // Commits the statements of a burst of lines together; a failed commit is logged.
    void beginBatch() override;
    void endBatch() override;

private:
    void logStoreFailure(const PirolanError &error);

    Storage &m_storage;
    ReadingsView &m_view;
};
