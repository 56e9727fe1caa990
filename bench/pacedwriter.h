// SPDX-License-Identifier: MIT
#pragma once

#include "benchprobes.h"

#include <QByteArray>
#include <QList>

// The meter's side of a pseudo-terminal: sends numbered lines of five readings, each line
// leaving when the serial line's byte rate (baud / 10 with 8N1) would have finished it.
class PacedWriter
{
public:
    PacedWriter();
    ~PacedWriter();

    // The device Pirolan opens; empty when no pseudo-terminal could be made.
    QString devicePath() const { return m_slave; }

    // Sends for the given time at the byte rate of baud, or one line per interval when
    // intervalMs > 0. Blocks; returns the lines sent.
    qint64 run(int baud, double seconds, int intervalMs = 0);
    // Sends lines as fast as the reader takes them.
    qint64 flood(qint64 lines);

    static QByteArray line(qint64 seq);

    // When the carriage return of each line left, by sequence number.
    QList<BenchClock::time_point> sentAt;
    // How far behind its schedule the writer was at the end (the reader held it back).
    double lagMs = 0;

private:
    void writeAll(const QByteArray &bytes);

    int m_master = -1;
    QString m_slave;
};
