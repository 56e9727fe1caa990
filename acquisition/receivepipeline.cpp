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
        const qsizetype count = framed.lines.size();
        // The lines before the event's last one run without pauses, and their rows are
        // committed together, so a burst costs one commit rather than one per statement.
        if (count > 1) {
            const bool storing = saveEnabled || deleteEnabled;
            if (storing)
                m_steps.beginBatch();
            for (qsizetype i = 0; i + 1 < count; ++i)
                runLine(framed.lines[i], false);
            if (storing)
                m_steps.endBatch();
        }
        if (count > 0)
            runLine(framed.lines.last(), true);
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
