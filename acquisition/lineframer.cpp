// SPDX-License-Identifier: MIT
#include "lineframer.h"

LineFramer::Result LineFramer::append(QByteArray &buffer, const QByteArray &chunk)
{
    Result result;
    const char *data = chunk.constData();
    const qsizetype size = chunk.size();
    qsizetype i = 0;
    if (m_afterCarriageReturn && size > 0 && data[0] == '\n')
        i = 1;
    if (size > 0)
        m_afterCarriageReturn = false;

    while (i < size) {
        // Find the next terminator in one pass rather than byte by byte.
        qsizetype end = i;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        if (!m_discarding) {
            buffer.append(data + i, end - i);
            if (buffer.size() > kMaxLineBytes) {
                buffer.clear();
                m_discarding = true;
                result.overflowed = true;
            }
        }
        if (end == size)
            break;
        if (!m_discarding && !buffer.isEmpty())
            result.lines.append(buffer);
        buffer.clear();
        m_discarding = false;
        if (data[end] == '\r') {
            if (end + 1 < size && data[end + 1] == '\n')
                ++end;
            else if (end + 1 == size)
                m_afterCarriageReturn = true;
        }
        i = end + 1;
    }
    return result;
}

void LineFramer::reset()
{
    m_afterCarriageReturn = false;
    m_discarding = false;
}
