#include "view/TrayNotifier.h"

namespace view {

namespace {
// How long a balloon stays, when the desktop lets the program say.
constexpr int kBalloonMs = 10000;
} // namespace

void TrayNotifier::setIcon(QSystemTrayIcon* icon) {
    if (m_icon)
        disconnect(m_icon, nullptr, this, nullptr);
    m_icon = icon;
    if (!m_icon)
        return;
    connect(m_icon, &QSystemTrayIcon::messageClicked, this, [this] {
        if (m_hasAction)
            emit actionInvoked(m_shown);
    });
}

bool TrayNotifier::available() const {
    return m_icon && QSystemTrayIcon::isSystemTrayAvailable() &&
           QSystemTrayIcon::supportsMessages();
}

void TrayNotifier::show(quint32 id, const QString& title, const QString& text,
                        const QString& action) {
    if (!available())
        return;
    m_shown = id;
    m_hasAction = !action.isEmpty();
    m_icon->showMessage(title, m_hasAction ? text + u'\n' + clickHint() : text,
                        QSystemTrayIcon::Information, kBalloonMs);
}

} // namespace view
