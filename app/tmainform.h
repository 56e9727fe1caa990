// SPDX-License-Identifier: MIT
#pragma once

#include "portlist.h"
#include "startoptions.h"

#include <readingsview.h>

#include <QSystemTrayIcon>
#include <QWidget>

#include <functional>
#include <memory>

class LedRound;
class SerialLink;
class Storage;
class TableStatements;
class QTimer;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;

// The one window of Pirolan: login fields, link controls, the five readings, the event log,
// and the tray icon it hides into. Its ReadingsView side may be called from any thread.
class TMainForm : public QWidget, public ReadingsView
{
    Q_OBJECT
public:
    explicit TMainForm(const StartOptions &options = {}, PortLister listPorts = systemSerialPorts,
        QWidget *parent = nullptr);
    ~TMainForm() override;

    // ReadingsView, callable from any thread; other threads' calls are queued in order.
    void showValues(const QStringList &values) override;
    void LogLine(const QString &suffix) override;
    void ShowFailure(const QString &suffix) override;

    // Tray icon and window hiding.
    void AddTrayIcon();
    void RemoveTrayIcon();
    void HideToTray();
    void RestoreFromTray();
    void N1Click();
    void N2Click();
    void N3Click();
    bool trayIconShown() const;
    // Whether a notification area is there to hide into; asked at the moment of hiding.
    void setTrayAvailableProbe(std::function<bool()> probe);

    // Database: connect with the login fields (true when it went through; a component error
    // is shown in a box and gives false; a server's refusal is thrown as EOleException).
    bool ConnectDatabase();
    void DisconnectDatabase();
    bool databaseOpen();
    void btnClearClick();
    Storage &storage();

    // Link control: database, then serial port; Stop closes both.
    void btnConnectClick();
    void OpenLink();
    void Button1Click();
    void cbBaudRateChange(int index);
    void Timer1Timer();
    SerialLink &BComPort1();

    // The text of a status bar panel (0 link state, 1 date, 2 time).
    QString statusPanelText(int panel) const;
    void setStatusPanelText(int panel, const QString &text);

    QLineEdit *Edit1 = nullptr;
    QLineEdit *Edit2 = nullptr;
    QLineEdit *MaskEdit1 = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QComboBox *cbPort = nullptr;
    QComboBox *cbBaudRate = nullptr;
    QCheckBox *Check1 = nullptr;
    QCheckBox *CheckDel = nullptr;
    QPushButton *btnConnect = nullptr;
    LedRound *LedConnect = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *btnClear = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QWidget *Panel1 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    QGroupBox *GroupBox3 = nullptr;
    QGroupBox *GroupBox4 = nullptr;
    QGroupBox *GroupBox5 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label7 = nullptr;
    LedRound *LedPech = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *N1 = nullptr;
    QAction *N2 = nullptr;
    QAction *N3 = nullptr;
    QTimer *Timer1 = nullptr;

    bool ChildrenShown = false;

signals:
    // The window has closed; the process ends.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    QGroupBox *addReadingGroup(const QString &name, const QString &caption, int top, int height,
        const QString &labelName, QLabel **label);
    void FormCreate(const StartOptions &options, const PortLister &listPorts);
    void FormClose();
    void WMTrayIcon(QSystemTrayIcon::ActivationReason reason);
    void showChildrenOnce();
    void appendLogLine(const QString &line);
    // Runs f on the GUI thread: at once when already there, otherwise queued in order.
    void onGuiThread(std::function<void()> f);

    std::unique_ptr<Storage> m_storage;
    std::unique_ptr<TableStatements> m_statements;
    std::unique_ptr<SerialLink> m_link;
    QSystemTrayIcon *m_tray = nullptr;
    QList<QLabel *> m_statusPanels;
    QList<QLabel *> m_valueLabels;
    std::function<bool()> m_trayAvailable;
    bool m_centred = false;
};
