// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QThread>

class PipelineSteps;
class ReadingsView;
class ReceivePipeline;
class SerialReader;

// The serial port component: a SerialReader on its own reader thread for the life of the
// window. Every call waits until the reader thread has run it, so closing waits for a line
// that is in the middle of its pipeline. Call it from the GUI thread only.
class SerialLink
{
public:
    SerialLink(ReadingsView &view, PipelineSteps &steps);
    ~SerialLink();
    SerialLink(const SerialLink &) = delete;
    SerialLink &operator=(const SerialLink &) = delete;

    // Opens the device at the current rate; throws EComPort.
    void open(const QString &devicePath);
    void close();
    // The rate for the next opening, applied at once while open; throws EComPort if refused.
    void setBaudRate(qint32 baudRate);
    qint32 baudRate() const { return m_baudRate; }
    bool isOpen();

    // The check-box mirrors live here (atomics, safe to set from the GUI thread).
    ReceivePipeline &pipeline();

    // A port name from the list is a device under /dev; a path is used as it is.
    static QString devicePath(const QString &portName);

private:
    QThread m_thread;
    SerialReader *m_reader = nullptr;
    qint32 m_baudRate = 9600;
};
