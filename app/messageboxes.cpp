// SPDX-License-Identifier: MIT
#include "messageboxes.h"

#include "datetimetext.h"

#include <pirolan/pirolanerror.h>

#include <QApplication>
#include <QMessageBox>

namespace MessageBoxes {
namespace {

Presenter &presenter()
{
    static Presenter current;
    return current;
}

void present(QWidget *parent, Kind kind, const QString &text)
{
    if (presenter()) {
        presenter()(parent, kind, text);
        return;
    }
    const QString title = QApplication::applicationDisplayName();
    // A carriage return separates lines in Pirolan's texts; Qt's labels break on line feeds.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (kind == Kind::StandardError)
        QMessageBox::critical(parent, title, shown);
    else
        QMessageBox::information(parent, title, shown);
}

} // namespace

void showMessage(QWidget *parent, const QString &text)
{
    present(parent, Kind::Message, text);
}

void showStandardError(QWidget *parent, const PirolanError &error)
{
    present(parent, Kind::StandardError, error.kind() + QStringLiteral(": ") + error.message());
}

QString failureText(const PirolanError &error)
{
    return QStringLiteral("[ ") + dateTimeText(QDateTime::currentDateTime())
        + QStringLiteral("] : ") + error.kind() + QStringLiteral(" - ") + error.message();
}

void setPresenter(Presenter replacement)
{
    presenter() = std::move(replacement);
}

} // namespace MessageBoxes
