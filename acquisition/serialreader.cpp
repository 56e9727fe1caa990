// SPDX-License-Identifier: MIT
#include "serialreader.h"

#include "deviceholders.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>

#include <sys/file.h>
#include <unistd.h>

namespace {

const QString kNoSuchPort = QStringLiteral("Попытка открыть несуществующий COM-порт");
const QString kPortBusy = QStringLiteral("Порт занят другой программой");
const QString kSetupComm = QStringLiteral("Ошибка функции SetupComm");
const QString kSetCommState = QStringLiteral("Ошибка функции SetCommState");

} // namespace

SerialReader::SerialReader(ReadingsView &view, PipelineSteps &steps)
    : m_pipeline(view, steps)
{
    m_pipeline.pause = [this](int ms) { pauseReading(ms); };
}

SerialReader::~SerialReader()
{
    close();
}

bool SerialReader::isOpen() const
{
    return m_port && m_port->isOpen();
}

QString SerialReader::open(const QString &devicePath, qint32 baudRate)
{
    close();
    m_lostInHandler = false;
    if (!m_port) {
        m_port = new QSerialPort(this);
        connect(m_port, &QSerialPort::readyRead, this, &SerialReader::BComPort1RxChar);
        connect(m_port, &QSerialPort::errorOccurred, this, &SerialReader::onError);
    }
    const QFileInfo device(devicePath);
    if (devicePath.isEmpty() || !device.exists() || device.isDir())
        return kNoSuchPort;
    // As root neither the kernel's exclusive flag nor another program's lock stops a second
    // opener, so look for anyone else holding the same device, the way fuser does.
    if (DeviceHolders::othersHold(devicePath))
        return kPortBusy;

    m_port->setPortName(devicePath);
    m_port->setBaudRate(baudRate);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = m_port->error();
        const QString reason = m_port->errorString();
        m_port->clearError();
        switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return kNoSuchPort;
        case QSerialPort::PermissionError:
            if (::access(QFile::encodeName(devicePath).constData(), R_OK | W_OK) != 0)
                return kSetupComm
                    + QStringLiteral(": нет прав доступа к %1 (пользователь должен входить в "
                                     "группу dialout)")
                          .arg(devicePath);
            return kPortBusy; // another program's lock file
        case QSerialPort::UnsupportedOperationError:
            return kSetCommState;
        default:
            return kSetupComm + QStringLiteral(": ") + reason + QStringLiteral(" (") + devicePath
                + QLatin1Char(')');
        }
    }
    if (::flock(m_port->handle(), LOCK_EX | LOCK_NB) != 0) {
        m_port->close();
        return kPortBusy;
    }
    if (m_port->baudRate() != baudRate) {
        m_port->close();
        return kSetCommState;
    }
    // A pseudo-terminal has no modem lines: refusing them is not a failure.
    m_port->setDataTerminalReady(true);
    m_port->setRequestToSend(true);
    m_port->clearError();
    return {};
}

void SerialReader::close()
{
    m_stopRequested = false;
    m_pending.clear();
    if (!isOpen())
        return;
    m_port->setDataTerminalReady(false);
    m_port->setRequestToSend(false);
    m_port->clear(QSerialPort::AllDirections);
    m_port->close();
    m_port->clearError();
}

QString SerialReader::setBaudRate(qint32 baudRate)
{
    if (!isOpen())
        return {};
    if (!m_port->setBaudRate(baudRate)) {
        m_port->clearError();
        return kSetCommState;
    }
    return {};
}

// One receive event per chunk, strictly one at a time. Bytes that arrive while a chunk is
// handled are taken off the port during its pauses and handled next, as one larger chunk.
void SerialReader::BComPort1RxChar()
{
    if (m_inHandler) {
        takeWaitingBytes();
        return;
    }
    m_inHandler = true;
    takeWaitingBytes();
    while (!m_pending.isEmpty() && !m_stopRequested) {
        const QByteArray chunk = std::exchange(m_pending, QByteArray());
        m_pipeline.BComPort1RxChar(chunk);
        if (m_lostInHandler)
            break;
        takeWaitingBytes();
    }
    m_inHandler = false;
    if (m_lostInHandler) {
        m_lostInHandler = false;
        deviceLost();
    }
}

void SerialReader::takeWaitingBytes()
{
    if (!isOpen())
        return;
    m_pending += m_port->readAll();
    if (m_pending.size() > kMaxPendingBytes)
        m_pending.remove(0, m_pending.size() - kMaxPendingBytes);
}

void SerialReader::pauseReading(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        if (!isOpen() || m_stopRequested) {
            QThread::msleep(quint64(std::max<qint64>(0, deadline.remainingTime())));
            break;
        }
        if (m_port->waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime()))))
            takeWaitingBytes();
        else if (!deadline.hasExpired())
            QThread::msleep(1); // refused at once (an error): never spin through the pause
    }
}

void SerialReader::onError(QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)
        return;
    if (!isOpen())
        return;
    // The device went away (unplugged, other end closed): stop reading at once, or the port
    // reports the same error in a tight loop; say so once, after the line in hand.
    m_port->close();
    m_port->clearError();
    if (m_inHandler)
        m_lostInHandler = true;
    else
        deviceLost();
}

void SerialReader::deviceLost()
{
    m_pending.clear();
    m_pipeline.readFailed();
}
