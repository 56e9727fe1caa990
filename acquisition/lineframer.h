// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayList>

// Cuts received bytes into lines. A carriage return ends a line, and a line feed right after
// it belongs to the same terminator, also when it comes first in the next chunk; a lone line
// feed ends a line too. Terminators are not part of a line and empty lines are skipped.
// Bytes after the last terminator wait in the buffer for the next chunk.
class LineFramer
{
public:
    // A line longer than this is garbage (a wrong rate, a stuck device): it is dropped up to
    // its terminator so memory stays bounded.
    static constexpr qsizetype kMaxLineBytes = 4096;

    struct Result
    {
        QByteArrayList lines;
        // Set when this chunk pushed the waiting bytes past kMaxLineBytes.
        bool overflowed = false;
    };

    // Appends chunk to buffer (the bytes of the line being assembled) and takes out every
    // line the chunk completes.
    Result append(QByteArray &buffer, const QByteArray &chunk);
    // Forgets a pending terminator or overflow, as after a failed read.
    void reset();

private:
    bool m_afterCarriageReturn = false;
    bool m_discarding = false;
};
