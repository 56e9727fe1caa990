// SPDX-License-Identifier: MIT
#include "messageboxes.h"

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
    if (kind == Kind::StandardError)
        QMessageBox::critical(parent, title, text);
    else
        QMessageBox::information(parent, title, text);
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

void setPresenter(Presenter replacement)
{
    presenter() = std::move(replacement);
}

} // namespace MessageBoxes
