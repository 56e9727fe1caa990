// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// What the acquisition path tells the operator. Implementations must accept calls from
// any thread and keep their order (the window carries them to the GUI thread).
class ReadingsView
{
public:
    virtual ~ReadingsView() = default;

    // The five field texts, T1..T5, to be shown in the value labels.
    virtual void showValues(const QStringList &values) = 0;
    // One event-log line: date-time text followed by the suffix (which starts with " : ").
    virtual void LogLine(const QString &suffix) = 0;
    // The failure notice: log line, window back from the tray, tray icon removed.
    virtual void ShowFailure(const QString &suffix) = 0;
};
