// SPDX-License-Identifier: MIT
#pragma once

#include "lineframer.h"
#include "readings.h"

#include <QByteArray>

#include <atomic>
#include <functional>

class PipelineSteps;
class ReadingsView;

// What happens to received bytes: framing, splitting and showing, storing, deleting the
// oldest row, with the pauses between the steps. Runs on the reader thread.
class ReceivePipeline
{
public:
    static constexpr int kPauseMs = 100;

    ReceivePipeline(ReadingsView &view, PipelineSteps &steps);

    // One receive event: the bytes read from the port. Every complete line runs the steps in
    // order; the event's last line keeps the pauses, the lines before it run without them.
    void BComPort1RxChar(const QByteArray &chunk);
    // A failed read: the failure notice, and the line being assembled is dropped.
    void readFailed();

    // Mirrors of "Save SQL" and "Delete Cir", written by the GUI thread.
    std::atomic<bool> saveEnabled = false;
    std::atomic<bool> deleteEnabled = false;

    // Sleeps on the reader thread; tests may shorten it.
    std::function<void(int ms)> pause;

    Readings &readings() { return m_readings; }

private:
    void runLine(const QByteArray &line, bool paced);

    ReadingsView &m_view;
    PipelineSteps &m_steps;
    Readings m_readings;
    LineFramer m_framer;
};
