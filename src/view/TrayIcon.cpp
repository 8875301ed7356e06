#include "view/TrayIcon.h"

#include "view/Icons.h"

#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <QWindowStateChangeEvent>

namespace view {

TrayIcon::TrayIcon(QWidget& window, QMenu* menu, Links links)
    : QObject(&window), m_window(window), m_menu(menu), m_links(std::move(links)),
      m_icon(new QSystemTrayIcon(appIcon(), this)) {
    setToolTip(QString());
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    m_links.clicked();
                else if (reason == QSystemTrayIcon::Context)
                    m_links.menuAsked();
            });
    m_window.installEventFilter(this);
    m_icon->show();
}

bool TrayIcon::available() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::setToolTip(const QString& text) {
    m_icon->setToolTip(text.isEmpty() ? QStringLiteral("Tavrel") : text);
}

void TrayIcon::popupMenu() {
    m_menu->popup(QCursor::pos());
}

void TrayIcon::addStandIn(QWidget* widget) {
    if (!widget)
        return;
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(widget, &QWidget::customContextMenuRequested, this, [this] {
        if (!available())
            m_links.menuAsked();
    });
}

void TrayIcon::minimiseWindow() {
    if (!m_window.isVisible())
        m_window.show();
    m_window.showMinimized();
}

bool TrayIcon::eventFilter(QObject* watched, QEvent* event) {
    // Restored from the task bar while the program holds the window hidden: the icon's click.
    if (watched == &m_window && event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        const bool restored = (change->oldState() & Qt::WindowMinimized) &&
                              !(m_window.windowState() & Qt::WindowMinimized);
        if (restored && m_links.waiting())
            QTimer::singleShot(0, this, [this] {
                if (m_links.waiting())
                    m_links.clicked();
            });
    }
    return false;
}

} // namespace view
