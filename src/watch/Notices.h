#pragma once

#include "platform/Browser.h"
#include "platform/Clock.h"
#include "platform/Notifier.h"
#include "platform/Processes.h"
#include "watch/Allowances.h"
#include "watch/Closure.h"

#include <QDateTime>
#include <QObject>
#include <map>

namespace controls {
class CheckBox;
}

namespace watch {

// A desktop notice for the closures and refusals, titled "Tavrel". The first of a burst
// names what was closed and why and offers "Ouvrir quand même"; those that follow it within
// a few seconds of each other are counted into the same notice, which says at the next tick
// "12 fenêtres fermées". The action opens the address once in the watched browser, spared by
// every rule.
class Notices : public QObject {
    Q_OBJECT
public:
    /// Seconds between two closures of one burst, at most.
    static constexpr qint64 kBurstSeconds = 5;

    Notices(platform::Notifier& notifier, platform::Clock& clock, platform::BrowserShell& browser,
            platform::Processes& processes, Allowances& allowances,
            const controls::CheckBox& noticeSwitch);

    /// A window was closed or refused: shown at once, or counted into the burst's notice.
    void report(const Closure& closure);
    /// One tick (every second): the burst's notice says how many were closed.
    void tick();
    /// The user chose the action of notice `id`: its address opens, spared by the rules.
    void openAnyway(quint32 id);

private:
    platform::Notifier& m_notifier;
    platform::Clock& m_clock;
    platform::BrowserShell& m_browser;
    platform::Processes& m_processes;
    Allowances& m_allowances;
    const controls::CheckBox& m_switch;
    quint32 m_lastId = 0;
    // The burst of the notice shown last.
    qint64 m_count = 0;
    qint64 m_shownCount = 0;
    QDateTime m_last;
    // The addresses the notices still showing an action would open.
    std::map<quint32, QString> m_addresses;
};

} // namespace watch
