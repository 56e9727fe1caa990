// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

class PirolanError;
class QWidget;

// The program's modal boxes. Tests replace the presenter to read what would be shown.
namespace MessageBoxes {

enum class Kind { Message, StandardError };
using Presenter = std::function<void(QWidget *parent, Kind kind, const QString &text)>;

// A simple message box with an OK button.
void showMessage(QWidget *parent, const QString &text);
// The box for an error that escaped an operator command: its kind name and message.
void showStandardError(QWidget *parent, const PirolanError &error);
// "[ date-time] : kind - message", the text of a box reporting a failed connection.
QString failureText(const PirolanError &error);
// Replaces the presenter; an empty one restores the real message boxes.
void setPresenter(Presenter presenter);

} // namespace MessageBoxes
