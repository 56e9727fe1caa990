// SPDX-License-Identifier: MIT
// The tray side of TMainForm: the icon, its menu, and hiding the window into it.
#include "tmainform.h"

#include <QCursor>
#include <QMenu>
#include <QTimer>
#include <QWindowStateChangeEvent>

void TMainForm::AddTrayIcon()
{
    m_tray->show();
}

void TMainForm::RemoveTrayIcon()
{
    m_tray->hide();
}

bool TMainForm::trayIconShown() const
{
    return m_tray->isVisible();
}

void TMainForm::setTrayAvailableProbe(std::function<bool()> probe)
{
    m_trayAvailable = std::move(probe);
}

void TMainForm::HideToTray()
{
    hide();
}

void TMainForm::RestoreFromTray()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    if (!ChildrenShown)
        showChildrenOnce();
}

// After the first restore every control that was meant to be visible is shown once more,
// and the named controls inside it too. Qt's own inner widgets (unnamed or "qt_") are left be.
void TMainForm::showChildrenOnce()
{
    const auto isOwnControl = [](const QWidget *w) {
        return !w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_"));
    };
    const auto controls = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *control : controls) {
        if (!control->isWindow() && isOwnControl(control) && !control->isHidden()) {
            control->show();
            const auto inner = control->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
            for (QWidget *child : inner) {
                if (isOwnControl(child))
                    child->show();
            }
        }
    }
    ChildrenShown = true;
}

void TMainForm::N1Click()
{
    RestoreFromTray();
    RemoveTrayIcon();
}

void TMainForm::N2Click()
{
    // Without a notification area a hidden window could never be brought back.
    if (!m_trayAvailable()) {
        LogLine(QStringLiteral(" : Область уведомлений недоступна, окно не убрано"));
        return;
    }
    HideToTray();
    AddTrayIcon();
}

void TMainForm::N3Click()
{
    close();
    RemoveTrayIcon();
}

void TMainForm::WMTrayIcon(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger: {
        const QPoint at = QCursor::pos();
        if (isVisible()) {
            raise();
            activateWindow();
        }
        PopupMenu1->popup(at);
        break;
    }
    case QSystemTrayIcon::DoubleClick:
        N1Click();
        break;
    default:
        break;
    }
}

void TMainForm::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !(windowState() & Qt::WindowMinimized))
        return;
    // Minimized: put away into the tray, where there is one; otherwise it stays minimized.
    if (m_trayAvailable())
        QTimer::singleShot(0, this, [this] {
            if (windowState() & Qt::WindowMinimized)
                N2Click();
        });
}
