// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

// A small round indicator lamp, on or off.
class LedRound : public QWidget
{
    Q_OBJECT
public:
    explicit LedRound(QWidget *parent = nullptr);

    bool Active() const { return m_active; }
    void setActive(bool active);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_active = false;
};
