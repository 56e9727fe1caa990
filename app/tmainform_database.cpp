// SPDX-License-Identifier: MIT
// The database side of TMainForm: connecting with the login fields, and clearing the table.
#include "tmainform.h"

#include "messageboxes.h"

#include <connectionstring.h>
#include <storage.h>

#include <pirolan/pirolanerror.h>

#include <QCheckBox>
#include <QLineEdit>

bool TMainForm::ConnectDatabase()
{
    const QString text = composeConnectionString(
        { Edit1->text(), Edit2->text(), MaskEdit1->text(), CheckBox1->isChecked() });
    try {
        m_storage->ConnectDatabase(text);
        LogLine(QStringLiteral(" : Соединение MSSQL ОК!"));
        return true;
    } catch (const EDatabaseError &error) {
        DisconnectDatabase();
        MessageBoxes::showMessage(
            this, MessageBoxes::failureText(error) + QStringLiteral("\rОшибка соединения"));
        return false;
    }
}

void TMainForm::DisconnectDatabase()
{
    m_storage->DisconnectDatabase();
}

bool TMainForm::databaseOpen()
{
    return m_storage->isOpen();
}

void TMainForm::btnClearClick()
{
    // Storing stays off while the table is emptied, and after a failed clear.
    Check1->setChecked(false);
    try {
        m_storage->clearTable();
    } catch (const PirolanError &) {
        ShowFailure(QStringLiteral(" : DelTableError!!!"));
        return;
    }
    Check1->setChecked(true);
    LogLine(QStringLiteral(" : Таблица очищена!!!"));
}

Storage &TMainForm::storage()
{
    return *m_storage;
}
