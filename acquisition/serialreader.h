// SPDX-License-Identifier: MIT
#pragma once

#include "receivepipeline.h"

#include <QObject>
#include <QSerialPort>

#include <atomic>

// The serial port and its receive side. Lives on the reader thread: the port is created
// there, and every method runs there. Failures come back as message texts, never exceptions.
class SerialReader : public QObject
{
    Q_OBJECT
public:
    SerialReader(ReadingsView &view, PipelineSteps &steps);
    ~SerialReader() override;

    // Opens the device with 8 data bits, no parity, 1 stop bit, no flow control, DTR and RTS
    // on. Returns an empty text, or the EComPort message.
    QString open(const QString &devicePath, qint32 baudRate);
    // DTR and RTS off, both queues cleared, device closed. Closing a closed port does nothing.
    void close();
    // Applies the rate at once when open. Returns an empty text, or the EComPort message.
    QString setBaudRate(qint32 baudRate);
    bool isOpen() const;

    ReceivePipeline &pipeline() { return m_pipeline; }

    // Asks a running receive loop to return after the event in hand; any thread may call it.
    void requestStop() { m_stopRequested = true; }

    // Bytes received during a handler wait here for the next event; beyond this many the
    // reader is hopelessly behind and the oldest are dropped.
    static constexpr qsizetype kMaxPendingBytes = 1 << 20;

private:
    void BComPort1RxChar();
    void onError(QSerialPort::SerialPortError error);
    // The pipeline's pause: waits, but keeps taking bytes off the port meanwhile, so that a
    // fast device never fills the kernel's small receive queue while a line is handled.
    void pauseReading(int ms);
    void takeWaitingBytes();
    void deviceLost();

    QSerialPort *m_port = nullptr;
    ReceivePipeline m_pipeline;
    QByteArray m_pending;
    bool m_inHandler = false;
    bool m_lostInHandler = false;
    std::atomic<bool> m_stopRequested = false;
};
