// SPDX-License-Identifier: MIT
#include "appsetup.h"
#include "startoptions.h"
#include "terminationsignal.h"
#include "tmainform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);
    const StartOptions options = parseStartOptions(app);

    TMainForm MainForm(options);
    QObject::connect(
        &MainForm, &TMainForm::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    closeOnTerminationSignal(&MainForm);
    MainForm.show();
    return app.exec();
}
