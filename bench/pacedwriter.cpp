// SPDX-License-Identifier: MIT
#include "pacedwriter.h"

#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

PacedWriter::PacedWriter()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0)
        m_slave = QString::fromLocal8Bit(::ptsname(m_master));
}

PacedWriter::~PacedWriter()
{
    if (m_master >= 0)
        ::close(m_master);
}

QByteArray PacedWriter::line(qint64 seq)
{
    // About 35 bytes, as a real meter's line of five signed readings with decimals.
    return QByteArray::number(seq) + " -18.525 +21.075 +45.135 " + BenchView::kMarker + "\r";
}

void PacedWriter::writeAll(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno != EINTR && errno != EAGAIN)
            return;
    }
}

qint64 PacedWriter::run(int baud, double seconds, int intervalMs)
{
    const double bytesPerSecond = baud / 10.0;
    const auto start = BenchClock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    qint64 seq = sentAt.size();
    double bytesDue = 0;
    BenchClock::time_point due = start;
    for (;;) {
        const QByteArray bytes = line(seq);
        if (intervalMs > 0) {
            due = start + std::chrono::milliseconds(qint64(intervalMs) * seq);
        } else {
            bytesDue += bytes.size();
            due = start
                + std::chrono::duration_cast<BenchClock::duration>(
                    std::chrono::duration<double>(bytesDue / bytesPerSecond));
        }
        if (due > end)
            break;
        std::this_thread::sleep_until(due);
        writeAll(bytes);
        sentAt.append(BenchClock::now());
        ++seq;
    }
    lagMs = std::chrono::duration<double, std::milli>(BenchClock::now() - due).count();
    if (lagMs < 0)
        lagMs = 0;
    return sentAt.size();
}

qint64 PacedWriter::flood(qint64 lines)
{
    // Nothing is recorded here: the flood is for measuring memory.
    for (qint64 seq = 0; seq < lines; ++seq)
        writeAll(line(seq));
    return lines;
}
