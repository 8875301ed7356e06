#include "platform/linux/DesktopNotifier.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace platform::linuxp {

namespace {

const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kActionKey = QStringLiteral("open");

QString plainForMarkup(QString text) {
    text.replace(u'&', QStringLiteral("&amp;"));
    text.replace(u'<', QStringLiteral("&lt;"));
    text.replace(u'>', QStringLiteral("&gt;"));
    return text;
}

} // namespace

DesktopNotifier::DesktopNotifier(Notifier* fallback, const QDBusConnection& bus)
    : m_bus(bus), m_fallback(fallback), m_watcher(QString::fromLatin1(kService), bus,
                                                  QDBusServiceWatcher::WatchForRegistration |
                                                      QDBusServiceWatcher::WatchForUnregistration) {
    if (m_fallback)
        connect(m_fallback, &Notifier::actionInvoked, this, &Notifier::actionInvoked);
    if (!m_bus.isConnected())
        return;
    const QString service = QString::fromLatin1(kService);
    if (QDBusConnectionInterface* daemon = m_bus.interface()) {
        m_running = daemon->isServiceRegistered(service).value();
        m_activatable = daemon->activatableServiceNames().value().contains(service);
    }
    connect(&m_watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
        m_running = true;
        askCapabilities();
    });
    connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        // A service started on demand may leave when idle: it comes back at the next notice.
        m_running = false;
        m_serverIds.clear();
        m_ours.clear();
    });
    m_bus.connect(service, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(service, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onClosed(uint, uint)));
    if (serviceAvailable())
        askCapabilities();
}

bool DesktopNotifier::available() const {
    return serviceAvailable() || (m_fallback && m_fallback->available());
}

void DesktopNotifier::askCapabilities() {
    const QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kService), kPath, kInterface, QStringLiteral("GetCapabilities"));
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<QStringList> reply = *w;
        if (reply.isValid())
            m_markup = reply.value().contains(QStringLiteral("body-markup"));
        w->deleteLater();
    });
}

void DesktopNotifier::show(quint32 id, const QString& title, const QString& text,
                           const QString& action) {
    if (!serviceAvailable()) {
        if (m_fallback)
            m_fallback->show(id, title, text, action);
        return;
    }
    const auto known = m_serverIds.find(id);
    const uint replaces = known == m_serverIds.end() ? 0 : known->second;
    QStringList actions;
    if (!action.isEmpty())
        actions << kActionKey << action;
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService), kPath,
                                                       kInterface, QStringLiteral("Notify"));
    // Application name, the notice it replaces, icon, title, text, actions, hints, and the
    // service's own display time (-1).
    call << QStringLiteral("Tavrel") << replaces << QStringLiteral("dialog-information") << title
         << (m_markup ? plainForMarkup(text) : text) << actions
         << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral("tavrel")}} << -1;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, id, title, text, action](QDBusPendingCallWatcher* w) {
                const QDBusPendingReply<uint> reply = *w;
                w->deleteLater();
                if (!reply.isValid()) {
                    // The service went away or failed: the balloon says it instead.
                    if (m_fallback)
                        m_fallback->show(id, title, text, action);
                    return;
                }
                if (const auto old = m_serverIds.find(id); old != m_serverIds.end())
                    m_ours.erase(old->second);
                m_serverIds[id] = reply.value();
                m_ours[reply.value()] = id;
            });
}

void DesktopNotifier::onActionInvoked(uint serverId, const QString& actionKey) {
    const auto it = m_ours.find(serverId);
    if (it == m_ours.end() || actionKey != kActionKey)
        return;
    emit actionInvoked(it->second);
}

void DesktopNotifier::onClosed(uint serverId, uint) {
    forget(serverId);
}

void DesktopNotifier::forget(uint serverId) {
    const auto it = m_ours.find(serverId);
    if (it == m_ours.end())
        return;
    m_serverIds.erase(it->second);
    m_ours.erase(it);
}

} // namespace platform::linuxp
