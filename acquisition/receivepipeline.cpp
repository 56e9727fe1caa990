// SPDX-License-Identifier: MIT
#include "receivepipeline.h"

#include "pipelinesteps.h"
#include "readingsview.h"

#include <QThread>

ReceivePipeline::ReceivePipeline(ReadingsView &view, PipelineSteps &steps)
    : pause([](int ms) { QThread::msleep(ms); })
    , m_view(view)
    , m_steps(steps)
    , m_readings(&view)
{ }

void ReceivePipeline::BComPort1RxChar(const QByteArray &chunk)
{
    try {
        const LineFramer::Result framed = m_framer.append(m_readings.RxBuffer, chunk);
        if (framed.overflowed)
            m_view.LogLine(QStringLiteral(" : Переполнение буфера приёма!"));
        for (qsizetype i = 0; i < framed.lines.size(); ++i)
            runLine(framed.lines[i], i + 1 == framed.lines.size());
    } catch (...) {
        readFailed();
    }
}

void ReceivePipeline::runLine(const QByteArray &line, bool paced)
{
    m_readings.RxLine = line;
    m_readings.ParseString();
    if (paced)
        pause(kPauseMs);
    if (saveEnabled)
        m_steps.SaveSQL(m_readings.Values.value(0));
    if (paced)
        pause(kPauseMs);
    if (deleteEnabled)
        m_steps.DeleteOldest();
    if (paced)
        pause(kPauseMs);
}

void ReceivePipeline::readFailed()
{
    m_view.ShowFailure(QStringLiteral(" : Ошибка BComPort1RxChar!!!"));
    m_readings.RxLine.clear();
    m_readings.RxBuffer.clear();
    m_framer.reset();
}
