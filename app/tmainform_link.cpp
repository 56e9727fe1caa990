// SPDX-License-Identifier: MIT
// The link side of TMainForm: opening and closing the database and the serial port together,
// the rate list and the status clock.
#include "tmainform.h"

#include "datetimetext.h"
#include "ledround.h"
#include "messageboxes.h"

#include <seriallink.h>

#include <pirolan/pirolanerror.h>

#include <QComboBox>
#include <QPushButton>
#include <QTimer>

void TMainForm::btnConnectClick()
{
    OpenLink();
}

void TMainForm::OpenLink()
{
    try {
        if (!ConnectDatabase())
            return;
        if (databaseOpen()) {
            m_link->open(SerialLink::devicePath(cbPort->currentText()));
            LedConnect->setActive(true);
            Timer1->start();
            btnConnect->setEnabled(false);
        } else {
            close();
        }
    } catch (const PirolanError &error) {
        m_link->close();
        DisconnectDatabase();
        MessageBoxes::showMessage(this, MessageBoxes::failureText(error));
    }
}

void TMainForm::Button1Click()
{
    try {
        // The port closes first: that waits for a line in the middle of its pipeline, which
        // would otherwise fail against a closed database.
        m_link->close();
        DisconnectDatabase();
        LedConnect->setActive(false);
        Timer1->stop();
        btnConnect->setEnabled(true);
        LogLine(QStringLiteral(" : Отключение от базы!"));
    } catch (const PirolanError &error) {
        MessageBoxes::showStandardError(this, error);
    }
}

void TMainForm::cbBaudRateChange(int index)
{
    try {
        m_link->setBaudRate(cbBaudRate->itemText(index).toInt());
    } catch (const PirolanError &error) {
        MessageBoxes::showStandardError(this, error);
    }
}

void TMainForm::Timer1Timer()
{
    setStatusPanelText(0, QStringLiteral("Связь ОК!"));
    setStatusPanelText(1, shortDateText(QDate::currentDate()));
    setStatusPanelText(2, longTimeText(QTime::currentTime()));
}

SerialLink &TMainForm::BComPort1()
{
    return *m_link;
}
