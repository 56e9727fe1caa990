// SPDX-License-Identifier: MIT
#include "seriallink.h"

#include "serialreader.h"

#include <pirolan/pirolanerror.h>

SerialLink::SerialLink(ReadingsView &view, PipelineSteps &steps)
{
    m_thread.setObjectName(QStringLiteral("reader"));
    m_reader = new SerialReader(view, steps);
    m_reader->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_reader, &QObject::deleteLater);
    m_thread.start();
}

SerialLink::~SerialLink()
{
    close();
    m_thread.quit();
    m_thread.wait();
}

void SerialLink::open(const QString &devicePath)
{
    QString failure;
    QMetaObject::invokeMethod(
        m_reader, [&] { failure = m_reader->open(devicePath, m_baudRate); },
        Qt::BlockingQueuedConnection);
    if (!failure.isEmpty())
        throw EComPort(failure);
}

void SerialLink::close()
{
    // A steady stream would keep the receive loop going; ask it to return after its event.
    m_reader->requestStop();
    QMetaObject::invokeMethod(
        m_reader, [this] { m_reader->close(); }, Qt::BlockingQueuedConnection);
}

void SerialLink::setBaudRate(qint32 baudRate)
{
    m_baudRate = baudRate;
    QString failure;
    QMetaObject::invokeMethod(
        m_reader, [&] { failure = m_reader->setBaudRate(baudRate); }, Qt::BlockingQueuedConnection);
    if (!failure.isEmpty())
        throw EComPort(failure);
}

bool SerialLink::isOpen()
{
    bool open = false;
    QMetaObject::invokeMethod(
        m_reader, [&] { open = m_reader->isOpen(); }, Qt::BlockingQueuedConnection);
    return open;
}

ReceivePipeline &SerialLink::pipeline()
{
    return m_reader->pipeline();
}

QString SerialLink::devicePath(const QString &portName)
{
    if (portName.isEmpty() || portName.startsWith(QLatin1Char('/')))
        return portName;
    return QStringLiteral("/dev/") + portName;
}
