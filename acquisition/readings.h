// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QStringList>

class ReadingsView;

// The state of the acquisition path and the splitting of a completed line into the five
// readings. Used by one thread at a time (the reader thread while a link is open).
class Readings
{
public:
    static constexpr qsizetype kSlotCount = 5;

    explicit Readings(ReadingsView *view);

    // Splits RxLine at spaces into Values and shows all five slots. On failure RxLine is
    // emptied and the failure notice is given; nothing escapes.
    void ParseString();

    // Bytes received of the line being assembled.
    QByteArray RxBuffer;
    // The last completed line.
    QByteArray RxLine;
    // Fields of the last line; slots a short line does not reach keep earlier texts.
    QStringList Values;

private:
    ReadingsView *m_view = nullptr;
};
