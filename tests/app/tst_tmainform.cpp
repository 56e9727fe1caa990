// SPDX-License-Identifier: MIT
#include <ledround.h>
#include <messageboxes.h>
#include <tmainform.h>

#include <pirolan/pirolanerror.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QThread>

namespace {

struct ShownBox
{
    MessageBoxes::Kind kind;
    QString text;
};

// Collects the message boxes a test would have raised.
class BoxRecorder
{
public:
    BoxRecorder()
    {
        MessageBoxes::setPresenter([this](QWidget *, MessageBoxes::Kind kind, const QString &text) {
            boxes.append({ kind, text });
        });
    }
    ~BoxRecorder() { MessageBoxes::setPresenter({}); }
    QList<ShownBox> boxes;
};

QStringList noPorts()
{
    return {};
}

QString captionOf(const QWidget *w)
{
    if (auto *b = qobject_cast<const QAbstractButton *>(w))
        return b->text();
    if (auto *e = qobject_cast<const QLineEdit *>(w))
        return e->text();
    if (auto *g = qobject_cast<const QGroupBox *>(w))
        return g->title();
    if (auto *l = qobject_cast<const QLabel *>(w))
        return l->text();
    return {};
}

} // namespace

class tst_TMainForm : public QObject
{
    Q_OBJECT
private slots:
    void controls_data();
    void controls();
    void windowAndLists();
    void startUp_data();
    void startUp();
    void trayStates();
    void noTrayMeansNoHiding();
    void logLineFromWorkerThreadKeepsOrder();
    void failureNoticeFromWorkerThread();
};

void tst_TMainForm::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("className");
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<QString>("caption");

    QTest::newRow("Edit1") << "Edit1" << QByteArray("QLineEdit") << QRect(0, 10, 178, 21)
                           << "localhost\\SQLEXPRESS";
    QTest::newRow("Edit2") << "Edit2" << QByteArray("QLineEdit") << QRect(0, 39, 178, 21) << "sa";
    QTest::newRow("MaskEdit1") << "MaskEdit1" << QByteArray("QLineEdit") << QRect(0, 69, 178, 26)
                               << "";
    QTest::newRow("CheckBox1") << "CheckBox1" << QByteArray("QCheckBox") << QRect(0, 98, 178, 21)
                               << "Windows authentication";
    QTest::newRow("cbPort") << "cbPort" << QByteArray("QComboBox") << QRect(1, 128, 79, 24) << "";
    QTest::newRow("cbBaudRate") << "cbBaudRate" << QByteArray("QComboBox")
                                << QRect(103, 128, 75, 24) << "";
    QTest::newRow("Check1") << "Check1" << QByteArray("QCheckBox") << QRect(1, 158, 90, 20)
                            << "Save SQL";
    QTest::newRow("CheckDel") << "CheckDel" << QByteArray("QCheckBox") << QRect(96, 158, 90, 20)
                              << "Delete Cir";
    QTest::newRow("btnConnect") << "btnConnect" << QByteArray("QPushButton")
                                << QRect(2, 187, 72, 27) << "Связь";
    QTest::newRow("LedConnect") << "LedConnect" << QByteArray("LedRound") << QRect(60, 196, 10, 10)
                                << "";
    QTest::newRow("Button1") << "Button1" << QByteArray("QPushButton") << QRect(106, 190, 72, 24)
                             << "Stop";
    QTest::newRow("btnClear") << "btnClear" << QByteArray("QPushButton") << QRect(3, 226, 174, 31)
                              << "Clear table";
    QTest::newRow("Memo1") << "Memo1" << QByteArray("QPlainTextEdit") << QRect(0, 276, 313, 131)
                           << "";
    QTest::newRow("StatusBar1") << "StatusBar1" << QByteArray("QStatusBar")
                                << QRect(0, 413, 317, 19) << "";
    QTest::newRow("Panel1") << "Panel1" << QByteArray("QFrame") << QRect(186, 0, 135, 276) << "";
    QTest::newRow("GroupBox1") << "GroupBox1" << QByteArray("QGroupBox") << QRect(10, 5, 119, 50)
                               << "T1";
    QTest::newRow("GroupBox2") << "GroupBox2" << QByteArray("QGroupBox") << QRect(10, 57, 119, 50)
                               << "T2";
    QTest::newRow("GroupBox3") << "GroupBox3" << QByteArray("QGroupBox") << QRect(10, 110, 119, 50)
                               << "T3";
    QTest::newRow("GroupBox4") << "GroupBox4" << QByteArray("QGroupBox") << QRect(10, 162, 119, 51)
                               << "T4";
    QTest::newRow("GroupBox5") << "GroupBox5" << QByteArray("QGroupBox") << QRect(10, 217, 119, 49)
                               << "T5";
    for (const char *label : { "Label2", "Label4", "Label5", "Label6", "Label7" })
        QTest::newRow(label) << label << QByteArray("QLabel") << QRect(27, 17, 46, 30) << "00.0";
    QTest::newRow("LedPech") << "LedPech" << QByteArray("LedRound") << QRect(98, 28, 9, 9) << "";
}

void tst_TMainForm::controls()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, className);
    QFETCH(QRect, bounds);
    QFETCH(QString, caption);

    TMainForm form({}, noPorts);
    auto *widget = form.findChild<QWidget *>(name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(QByteArray(widget->metaObject()->className()), className);
    QCOMPARE(widget->geometry(), bounds);
    QCOMPARE(captionOf(widget), caption);
    QVERIFY(widget->isEnabled());
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        QVERIFY(label->font().bold());
        QCOMPARE(label->font().pixelSize(), 26);
        QCOMPARE(label->font().family(), QStringLiteral("Times New Roman"));
    }
    if (auto *box = qobject_cast<QAbstractButton *>(widget); box && box->isCheckable())
        QVERIFY(!box->isChecked());
    if (auto *led = qobject_cast<LedRound *>(widget))
        QVERIFY(!led->Active());
}

void tst_TMainForm::windowAndLists()
{
    TMainForm form({}, noPorts);
    QCOMPARE(form.windowTitle(), QStringLiteral("Pirolan"));
    QCOMPARE(form.size(), QSize(317, 432));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(form.MaskEdit1->echoMode(), QLineEdit::Password);
    QVERIFY(form.Memo1->toPlainText().isEmpty());
    QVERIFY(!form.Memo1->isReadOnly());

    QStringList rates;
    for (int i = 0; i < form.cbBaudRate->count(); ++i)
        rates << form.cbBaudRate->itemText(i);
    QCOMPARE(rates,
        (QStringList { "110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200",
            "38400", "56000", "57600", "115200", "128000", "256000" }));
    QCOMPARE(form.cbBaudRate->currentText(), QStringLiteral("9600"));
    QCOMPARE(form.statusPanelText(0), QStringLiteral("Others"));
    QCOMPARE(form.statusPanelText(1), QStringLiteral("Date"));
    QCOMPARE(form.statusPanelText(2), QStringLiteral("Time"));

    const auto actions = form.PopupMenu1->actions();
    QCOMPARE(actions.size(), 3);
    QCOMPARE(actions[0]->text(), QStringLiteral("Восстановить"));
    QCOMPARE(actions[1]->text(), QStringLiteral("Убрать"));
    QCOMPARE(actions[2]->text(), QStringLiteral("Выход"));
}

void tst_TMainForm::startUp_data()
{
    QTest::addColumn<QStringList>("systemPorts");
    QTest::addColumn<bool>("listFails");
    QTest::addColumn<QStringList>("extraPorts");
    QTest::addColumn<QStringList>("expectedPorts");
    QTest::addColumn<int>("portIndex");
    QTest::addColumn<int>("rateIndex");
    QTest::addColumn<int>("errorBoxes");

    QTest::newRow("ports listed, first selected")
        << QStringList { "ttyS0", "ttyUSB0" } << false << QStringList {}
        << QStringList { "ttyS0", "ttyUSB0" } << 0 << 6 << 0;
    QTest::newRow("no ports: empty list, no selection")
        << QStringList {} << false << QStringList {} << QStringList {} << -1 << 6 << 0;
    QTest::newRow("--port devices come first and the first is selected")
        << QStringList { "ttyS0" } << false << QStringList { "/dev/pts/7", "/tmp/dev" }
        << QStringList { "/dev/pts/7", "/tmp/dev", "ttyS0" } << 0 << 6 << 0;
    QTest::newRow("list unreadable: one error box, nothing selected")
        << QStringList {} << true << QStringList {} << QStringList {} << -1 << -1 << 1;
}

void tst_TMainForm::startUp()
{
    QFETCH(QStringList, systemPorts);
    QFETCH(bool, listFails);
    QFETCH(QStringList, extraPorts);
    QFETCH(QStringList, expectedPorts);
    QFETCH(int, portIndex);
    QFETCH(int, rateIndex);
    QFETCH(int, errorBoxes);

    BoxRecorder recorder;
    StartOptions options;
    options.ports = extraPorts;
    options.server = QStringLiteral("/var/lib/pirolan/demo.sqlite");
    TMainForm form(options, [&]() -> QStringList {
        if (listFails)
            throw EComPort(QStringLiteral("Ошибка обращения к системному реестру"));
        return systemPorts;
    });
    QStringList ports;
    for (int i = 0; i < form.cbPort->count(); ++i)
        ports << form.cbPort->itemText(i);
    QCOMPARE(ports, expectedPorts);
    QCOMPARE(form.cbPort->currentIndex(), portIndex);
    QCOMPARE(form.cbBaudRate->currentIndex(), rateIndex);
    QCOMPARE(form.Edit1->text(), *options.server);
    QCOMPARE(recorder.boxes.size(), errorBoxes);
    if (errorBoxes) {
        QCOMPARE(recorder.boxes[0].kind, MessageBoxes::Kind::StandardError);
        QVERIFY(recorder.boxes[0].text.contains(QStringLiteral("EComPort")));
    }
    QVERIFY(form.trayIconShown());
    QVERIFY(form.Memo1->toPlainText().isEmpty());
}

void tst_TMainForm::trayStates()
{
    TMainForm form({}, noPorts);
    form.setTrayAvailableProbe([] { return true; });
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.trayIconShown());

    // Put away: window hidden, icon present.
    form.N2Click();
    QVERIFY(!form.isVisible());
    QVERIFY(form.trayIconShown());

    // Restore: window shown, icon gone, the one-time walk over the controls done.
    QVERIFY(!form.ChildrenShown);
    form.N1Click();
    QVERIFY(form.isVisible());
    QVERIFY(!form.trayIconShown());
    QVERIFY(form.ChildrenShown);
    QVERIFY(form.Edit1->isVisible());
    QVERIFY(form.Label2->isVisible());

    // Minimizing puts the window away.
    form.showMinimized();
    QTRY_VERIFY(!form.isVisible());
    QVERIFY(form.trayIconShown());

    // A failure notice brings it back and removes the icon.
    form.ShowFailure(QStringLiteral(" : Ошибка ParseString!!!"));
    QVERIFY(form.isVisible());
    QVERIFY(!(form.windowState() & Qt::WindowMinimized));
    QVERIFY(!form.trayIconShown());
    QVERIFY(form.Memo1->toPlainText().endsWith(QStringLiteral(" : Ошибка ParseString!!!")));

    // A failure notice while visible still removes the icon.
    form.AddTrayIcon();
    form.ShowFailure(QStringLiteral(" : DelMySQL!!!"));
    QVERIFY(form.isVisible());
    QVERIFY(!form.trayIconShown());
    QCOMPARE(form.Memo1->blockCount(), 2);
}

void tst_TMainForm::noTrayMeansNoHiding()
{
    TMainForm form({}, noPorts);
    form.setTrayAvailableProbe([] { return false; });
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    form.N2Click();
    QVERIFY(form.isVisible());
    QCOMPARE(form.Memo1->blockCount(), 1);
    QVERIFY(form.Memo1->toPlainText().contains(QStringLiteral("окно не убрано")));

    form.showMinimized();
    QTest::qWait(50);
    QVERIFY(!form.isHidden());
}

void tst_TMainForm::logLineFromWorkerThreadKeepsOrder()
{
    TMainForm form({}, noPorts);
    constexpr int kLines = 500;
    QThread *worker = QThread::create([&form] {
        for (int i = 0; i < kLines; ++i)
            form.LogLine(QStringLiteral(" : line %1").arg(i));
    });
    worker->start();
    QVERIFY(worker->wait(10000));
    delete worker;
    QTRY_COMPARE(form.Memo1->blockCount(), kLines);
    const QStringList lines = form.Memo1->toPlainText().split(QLatin1Char('\n'));
    for (int i = 0; i < kLines; ++i)
        QVERIFY2(lines[i].endsWith(QStringLiteral(" : line %1").arg(i)), qPrintable(lines[i]));
}

void tst_TMainForm::failureNoticeFromWorkerThread()
{
    TMainForm form({}, noPorts);
    form.setTrayAvailableProbe([] { return true; });
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.N2Click();
    QVERIFY(!form.isVisible());

    QThread *worker = QThread::create([&form] {
        form.showValues({ "1.5", "2.5", "3.5", "4.5", "5.5" });
        form.ShowFailure(QStringLiteral(" : Ошибка BComPort1RxChar!!!"));
    });
    worker->start();
    QVERIFY(worker->wait(10000));
    delete worker;
    QTRY_VERIFY(form.isVisible());
    QVERIFY(!form.trayIconShown());
    QCOMPARE(form.Label2->text(), QStringLiteral("1.5"));
    QCOMPARE(form.Label7->text(), QStringLiteral("5.5"));
    QVERIFY(form.Memo1->toPlainText().endsWith(QStringLiteral(" : Ошибка BComPort1RxChar!!!")));
}

QTEST_MAIN(tst_TMainForm)
#include "tst_tmainform.moc"
