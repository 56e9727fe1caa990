// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The storing steps of the line pipeline. Called on the reader thread; they handle and
// report their own failures.
class PipelineSteps
{
public:
    virtual ~PipelineSteps() = default;
    virtual void SaveSQL(const QString &t1) = 0;
    virtual void DeleteOldest() = 0;
    // The steps of the lines between these two calls may be committed together; each step
    // still succeeds or fails on its own.
    virtual void beginBatch() { }
    virtual void endBatch() { }
};
