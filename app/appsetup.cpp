// SPDX-License-Identifier: MIT
#include "appsetup.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

void setUpApplication(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("Pirolan"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pirolan"));
    QApplication::setApplicationVersion(QStringLiteral(PIROLAN_VERSION));

    // The window stays up while it sits in the tray; the process ends when it closes.
    app.setQuitOnLastWindowClosed(false);
    // The window's fonts are Windows ones; use metric-compatible faces with Cyrillic glyphs.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
        { QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans") });
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
        { QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif") });
}
