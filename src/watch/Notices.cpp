#include "watch/Notices.h"

#include "controls/Simple.h"

namespace watch {

namespace {
const QString kTitle = QStringLiteral("Tavrel");
// Notices whose action is still offered, at most (older ones have long left the screen).
constexpr std::size_t kOpenActions = 32;
} // namespace

Notices::Notices(platform::Notifier& notifier, platform::Clock& clock,
                 platform::BrowserShell& browser, platform::Processes& processes,
                 Allowances& allowances, const controls::CheckBox& noticeSwitch)
    : m_notifier(notifier), m_clock(clock), m_browser(browser), m_processes(processes),
      m_allowances(allowances), m_switch(noticeSwitch) {
    connect(&m_notifier, &platform::Notifier::actionInvoked, this,
            [this](quint32 id) { openAnyway(id); });
}

void Notices::report(const Closure& closure) {
    if (m_switch.value() != 1 || !m_notifier.available())
        return;
    const QDateTime now = m_clock.now();
    const bool sameBurst =
        m_count > 0 && m_last.isValid() && m_last <= now && m_last.secsTo(now) <= kBurstSeconds;
    m_last = now;
    if (sameBurst) {
        ++m_count; // said at the next tick
        return;
    }
    m_count = 1;
    m_shownCount = 1;
    const quint32 id = ++m_lastId;
    QString action;
    if (!closure.url.isEmpty()) {
        action = QStringLiteral("Ouvrir quand même");
        m_addresses[id] = closure.url;
        while (m_addresses.size() > kOpenActions)
            m_addresses.erase(m_addresses.begin());
    }
    m_notifier.show(id, kTitle, noticeText(closure), action);
}

void Notices::tick() {
    if (m_count <= m_shownCount)
        return;
    m_shownCount = m_count;
    // The notice no longer names one address: its action goes.
    m_addresses.erase(m_lastId);
    m_notifier.show(m_lastId, kTitle, QStringLiteral("%1 fenêtres fermées").arg(m_count),
                    QString());
}

void Notices::openAnyway(quint32 id) {
    const auto it = m_addresses.find(id);
    if (it == m_addresses.end())
        return;
    const QString url = it->second;
    m_addresses.erase(it); // once
    m_allowances.grantOnce(url);
    // Without a watched browser, the user's own browser opens it.
    if (!m_browser.openUrl(url))
        m_processes.openUrl(url);
}

} // namespace watch
