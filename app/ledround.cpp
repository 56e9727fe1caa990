// SPDX-License-Identifier: MIT
#include "ledround.h"

#include <QPainter>
#include <QRadialGradient>

LedRound::LedRound(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LedRound::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    update();
}

void LedRound::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QColor lit = m_active ? QColor(0x30, 0xe0, 0x30) : QColor(0x1a, 0x55, 0x1a);
    QRadialGradient glow(
        area.center() - QPointF(area.width() / 5, area.height() / 5), area.width() / 1.5);
    glow.setColorAt(0, lit.lighter(m_active ? 160 : 120));
    glow.setColorAt(1, lit);
    painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 1));
    painter.setBrush(glow);
    painter.drawEllipse(area);
}
