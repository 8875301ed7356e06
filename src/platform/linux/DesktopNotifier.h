#pragma once

#include "platform/Notifier.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <map>

namespace platform::linuxp {

// Notices through the desktop's notification service (`org.freedesktop.Notifications` on the
// session bus), each notice's action as a button. Where the desktop has no such service, the
// notices go to `fallback` (the notification-area balloon), whose choices come back as ours.
class DesktopNotifier : public Notifier {
    Q_OBJECT
public:
    static constexpr const char* kService = "org.freedesktop.Notifications";

    /// `fallback` (may be null) must outlive the notifier.
    explicit DesktopNotifier(Notifier* fallback = nullptr,
                             const QDBusConnection& bus = QDBusConnection::sessionBus());

    bool available() const override;
    void show(quint32 id, const QString& title, const QString& text,
              const QString& action) override;
    /// True while the desktop's notification service is there (running, or started on demand).
    bool serviceAvailable() const { return m_running || m_activatable; }
    /// The service has said that it reads the text as markup.
    bool serviceReadsMarkup() const { return m_markup; }
    /// The service has given its number for notice `id` (a later one replaces it).
    bool numbered(quint32 id) const { return m_serverIds.count(id) != 0; }

private Q_SLOTS:
    void onActionInvoked(uint serverId, const QString& actionKey);
    void onClosed(uint serverId, uint reason);

private:
    void askCapabilities();
    void forget(uint serverId);

    QDBusConnection m_bus;
    Notifier* m_fallback;
    QDBusServiceWatcher m_watcher;
    bool m_running = false;
    bool m_activatable = false;
    bool m_markup = false;               // the service reads the text as markup
    std::map<quint32, uint> m_serverIds; // our number -> the service's
    std::map<uint, quint32> m_ours;      // the service's number -> ours
};

} // namespace platform::linuxp
