// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QCoreApplication;

// What the command line may change of the window's initial values.
struct StartOptions
{
    // Device paths added in front of the port list; the first one is preselected.
    QStringList ports;
    // Initial text of the database server field.
    std::optional<QString> server;
};

// Reads the command line; --help and --version print and exit as usual.
StartOptions parseStartOptions(const QCoreApplication &app);
