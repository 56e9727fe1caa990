// SPDX-License-Identifier: MIT
#include "tmainform.h"

#include "datetimetext.h"
#include "ledround.h"
#include "messageboxes.h"

#include "tablestatements.h"

#include <receivepipeline.h>
#include <seriallink.h>
#include <storage.h>

#include <pirolan/pirolanerror.h>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QThread>
#include <QTimer>

namespace {

constexpr int kClientWidth = 317;
constexpr int kClientHeight = 432;
constexpr int kFontPixels = 13;
constexpr int kValueFontPixels = 26;
const QStringList kBaudRates = { "110", "300", "600", "1200", "2400", "4800", "9600", "14400",
    "19200", "38400", "56000", "57600", "115200", "128000", "256000" };
constexpr int kDefaultBaudIndex = 6;

template <typename W> W *place(W *widget, const char *name, QRect bounds)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(bounds);
    return widget;
}

} // namespace

// The icon lives in this static library: register its resource before first use.
static void initResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(pirolan);
        return true;
    }();
    Q_UNUSED(done);
}

TMainForm::TMainForm(const StartOptions &options, PortLister listPorts, QWidget *parent)
    : QWidget(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_storage(std::make_unique<Storage>())
    , m_statements(std::make_unique<TableStatements>(*m_storage, *this))
    , m_link(std::make_unique<SerialLink>(*this, *m_statements))
    , m_trayAvailable(&QSystemTrayIcon::isSystemTrayAvailable)
{
    initResources();
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Pirolan"));
    setWindowIcon(QIcon(QStringLiteral(":/pirolan/pirolan.svg")));
    setFixedSize(kClientWidth, kClientHeight);
    QFont formFont(QStringLiteral("MS Sans Serif"));
    formFont.setPixelSize(kFontPixels);
    setFont(formFont);
    QPalette buttonFace = palette();
    buttonFace.setColor(QPalette::Window, buttonFace.color(QPalette::Button));
    setPalette(buttonFace);
    setAutoFillBackground(true);

    buildControls();
    connect(btnClear, &QPushButton::clicked, this, &TMainForm::btnClearClick);
    connect(btnConnect, &QPushButton::clicked, this, &TMainForm::btnConnectClick);
    connect(Button1, &QPushButton::clicked, this, &TMainForm::Button1Click);
    // Only the operator's choice changes the rate, never a selection made by code.
    connect(cbBaudRate, &QComboBox::activated, this, &TMainForm::cbBaudRateChange);
    // The reader thread reads the check boxes through these atomic mirrors.
    connect(Check1, &QCheckBox::toggled, this,
        [this](bool on) { m_link->pipeline().saveEnabled = on; });
    connect(CheckDel, &QCheckBox::toggled, this,
        [this](bool on) { m_link->pipeline().deleteEnabled = on; });
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);

    m_tray = new QSystemTrayIcon(windowIcon(), this);
    m_tray->setToolTip(QStringLiteral("Pirolan"));
    connect(m_tray, &QSystemTrayIcon::activated, this, &TMainForm::WMTrayIcon);

    FormCreate(options, listPorts);
}

TMainForm::~TMainForm()
{
    // Closed while every member is still whole: waiting may run queued calls here. The port
    // goes first, so no line is left half-way through its pipeline.
    m_link.reset();
    m_storage.reset();
}

void TMainForm::buildControls()
{
    Edit1 = place(
        new QLineEdit(QStringLiteral("localhost\\SQLEXPRESS"), this), "Edit1", { 0, 10, 178, 21 });
    Edit2 = place(new QLineEdit(QStringLiteral("sa"), this), "Edit2", { 0, 39, 178, 21 });
    MaskEdit1 = place(new QLineEdit(this), "MaskEdit1", { 0, 69, 178, 26 });
    MaskEdit1->setEchoMode(QLineEdit::Password);
    CheckBox1 = place(new QCheckBox(QStringLiteral("Windows authentication"), this), "CheckBox1",
        { 0, 98, 178, 21 });
    cbPort = place(new QComboBox(this), "cbPort", { 1, 128, 79, 24 });
    cbBaudRate = place(new QComboBox(this), "cbBaudRate", { 103, 128, 75, 24 });
    cbBaudRate->addItems(kBaudRates);
    Check1 = place(new QCheckBox(QStringLiteral("Save SQL"), this), "Check1", { 1, 158, 90, 20 });
    CheckDel
        = place(new QCheckBox(QStringLiteral("Delete Cir"), this), "CheckDel", { 96, 158, 90, 20 });
    btnConnect
        = place(new QPushButton(QStringLiteral("Связь"), this), "btnConnect", { 2, 187, 72, 27 });
    LedConnect = place(new LedRound(this), "LedConnect", { 60, 196, 10, 10 });
    LedConnect->raise();
    Button1 = place(new QPushButton(QStringLiteral("Stop"), this), "Button1", { 106, 190, 72, 24 });
    btnClear = place(
        new QPushButton(QStringLiteral("Clear table"), this), "btnClear", { 3, 226, 174, 31 });
    Memo1 = place(new QPlainTextEdit(this), "Memo1", { 0, 276, 313, 131 });
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    StatusBar1 = place(new QStatusBar(this), "StatusBar1", { 0, 413, 317, 19 });
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setContentsMargins(0, 0, 0, 0);
    // Date and time are at least 63 and 60 pixels wide and grow to fit their text; the first
    // panel gives way, so the clock is never cut off at the window's edge.
    const QList<std::pair<QString, int>> panels = { { QStringLiteral("Others"), 0 },
        { QStringLiteral("Date"), 63 }, { QStringLiteral("Time"), 60 } };
    for (const auto &[text, width] : panels) {
        auto *panel = new QLabel(text, StatusBar1);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setMinimumWidth(width);
        if (width > 0)
            panel->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
        else
            panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        StatusBar1->addWidget(panel, width > 0 ? 0 : 1);
        m_statusPanels.append(panel);
    }

    auto *panel = new QFrame(this);
    panel->setFrameShape(QFrame::NoFrame);
    Panel1 = place(panel, "Panel1", { 186, 0, 135, 276 });
    GroupBox1 = addReadingGroup(QStringLiteral("GroupBox1"), QStringLiteral("T1"), 5, 50,
        QStringLiteral("Label2"), &Label2);
    GroupBox2 = addReadingGroup(QStringLiteral("GroupBox2"), QStringLiteral("T2"), 57, 50,
        QStringLiteral("Label4"), &Label4);
    GroupBox3 = addReadingGroup(QStringLiteral("GroupBox3"), QStringLiteral("T3"), 110, 50,
        QStringLiteral("Label5"), &Label5);
    GroupBox4 = addReadingGroup(QStringLiteral("GroupBox4"), QStringLiteral("T4"), 162, 51,
        QStringLiteral("Label6"), &Label6);
    GroupBox5 = addReadingGroup(QStringLiteral("GroupBox5"), QStringLiteral("T5"), 217, 49,
        QStringLiteral("Label7"), &Label7);
    LedPech = place(new LedRound(GroupBox5), "LedPech", { 98, 28, 9, 9 });
    m_valueLabels = { Label2, Label4, Label5, Label6, Label7 };

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N1 = PopupMenu1->addAction(QStringLiteral("Восстановить"), this, &TMainForm::N1Click);
    N2 = PopupMenu1->addAction(QStringLiteral("Убрать"), this, &TMainForm::N2Click);
    N3 = PopupMenu1->addAction(QStringLiteral("Выход"), this, &TMainForm::N3Click);
    N1->setObjectName(QStringLiteral("N1"));
    N2->setObjectName(QStringLiteral("N2"));
    N3->setObjectName(QStringLiteral("N3"));
}

QGroupBox *TMainForm::addReadingGroup(const QString &name, const QString &caption, int top,
    int height, const QString &labelName, QLabel **label)
{
    auto *group = new QGroupBox(caption, Panel1);
    group->setObjectName(name);
    group->setGeometry(10, top, 119, height);
    QFont valueFont(QStringLiteral("Times New Roman"));
    valueFont.setPixelSize(kValueFontPixels);
    valueFont.setBold(true);
    *label = new QLabel(QStringLiteral("00.0"), group);
    (*label)->setObjectName(labelName);
    (*label)->setFont(valueFont);
    (*label)->setGeometry(27, 17, 46, 30);
    QPalette black = (*label)->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    (*label)->setPalette(black);
    return group;
}

void TMainForm::FormCreate(const StartOptions &options, const PortLister &listPorts)
{
    ChildrenShown = false;
    AddTrayIcon();
    if (options.server)
        Edit1->setText(*options.server);
    try {
        QStringList ports = options.ports;
        ports.append(listPorts());
        cbPort->addItems(ports);
        cbPort->setCurrentIndex(cbPort->count() > 0 ? 0 : -1);
        cbBaudRate->setCurrentIndex(kDefaultBaudIndex);
    } catch (const PirolanError &error) {
        // The window still opens; only the two lists stay without a selection.
        cbPort->addItems(options.ports);
        cbPort->setCurrentIndex(-1);
        cbBaudRate->setCurrentIndex(-1);
        MessageBoxes::showStandardError(this, error);
    }
}

void TMainForm::FormClose()
{
    m_link->close();
    RemoveTrayIcon();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
    emit closed();
}

void TMainForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_centred) {
        m_centred = true;
        if (const QScreen *screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
    }
}

void TMainForm::onGuiThread(std::function<void()> f)
{
    if (QThread::currentThread() == thread())
        f();
    else
        QMetaObject::invokeMethod(this, std::move(f), Qt::QueuedConnection);
}

void TMainForm::showValues(const QStringList &values)
{
    onGuiThread([this, values] {
        for (qsizetype i = 0; i < m_valueLabels.size() && i < values.size(); ++i) {
            QLabel *label = m_valueLabels[i];
            label->setText(values[i]);
            // Wide readings ("-12.75") grow the label to the right instead of being cut.
            label->resize(std::max(46, label->sizeHint().width()), label->height());
        }
    });
}

void TMainForm::LogLine(const QString &suffix)
{
    try {
        const QString line = dateTimeText(QDateTime::currentDateTime()) + suffix;
        onGuiThread([this, line] { appendLogLine(line); });
    } catch (...) {
        // The event log must never fail its caller.
    }
}

void TMainForm::appendLogLine(const QString &line)
{
    Memo1->appendPlainText(line);
    Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
}

void TMainForm::ShowFailure(const QString &suffix)
{
    try {
        LogLine(suffix);
        onGuiThread([this] {
            RestoreFromTray();
            RemoveTrayIcon();
        });
    } catch (...) {
        // The failure notice must never fail its caller.
    }
}

QString TMainForm::statusPanelText(int panel) const
{
    return m_statusPanels.value(panel) ? m_statusPanels[panel]->text() : QString();
}

void TMainForm::setStatusPanelText(int panel, const QString &text)
{
    if (QLabel *label = m_statusPanels.value(panel))
        label->setText(text);
}
