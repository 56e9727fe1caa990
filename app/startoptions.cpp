// SPDX-License-Identifier: MIT
#include "startoptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>

StartOptions parseStartOptions(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Pirolan: a data logger for a five-channel temperature meter on a "
                       "serial port, storing T1 in a database table."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption port(QStringLiteral("port"),
        QStringLiteral("Adds DEVICE (a path such as /dev/pts/3) to the port list and, for the "
                       "first one given, selects it. Repeatable."),
        QStringLiteral("DEVICE"));
    const QCommandLineOption server(QStringLiteral("server"),
        QStringLiteral("Initial database server: host\\instance, host,port, an ODBC data "
                       "source name, or the path of an SQLite file."),
        QStringLiteral("TEXT"));
    parser.addOption(port);
    parser.addOption(server);
    parser.process(app);

    StartOptions options;
    options.ports = parser.values(port);
    if (parser.isSet(server))
        options.server = parser.value(server);
    return options;
}
