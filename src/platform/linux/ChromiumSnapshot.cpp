#include "platform/linux/ChromiumSnapshot.h"

#include "platform/linux/CdpJson.h"
#include "platform/linux/ChromiumLauncher.h"

#include <set>

namespace platform::linuxp {

using cdp::obj;
using cdp::str;

namespace {

// A page target the adapter has not seen attach for this long is attached explicitly.
constexpr qint64 kAdoptAfterMs = 1000;
// A round of the snapshot refresh still unanswered after this long no longer holds back
// the next one.
constexpr qint64 kRoundStaleMs = 2000;
// The protocol tells no window's size change; pages do tell theirs (Page.frameResized), and
// navigations often come with one. A window's size is asked at every round while it is new
// (pop-ups are sized just after they open) or when its page said so, and every fifth round
// otherwise, spread over the rounds, so that fifty quiet pages cost ten questions a round.
constexpr qint64 kNewWindowMs = 3000;
constexpr quint64 kQuietBoundsEvery = 5;
// The rounds run at the adapter's pace while the browser reports anything (a page loading,
// a target changing, a click), and once a second after this long without a word: a quiet
// page's title changed by its script is then seen within a second.
constexpr qint64 kQuietAfterMs = 3000;
constexpr int kQuietPollMs = 1000;

} // namespace

ChromiumSnapshot::ChromiumSnapshot(ChromiumLauncher& launcher, int pollMs, QObject* parent)
    : QObject(parent), m_launcher(launcher) {
    m_clock.start();
    m_pollMs = pollMs;
    m_pollTimer.setInterval(pollMs);
    connect(&m_pollTimer, &QTimer::timeout, this, &ChromiumSnapshot::poll);
}

void ChromiumSnapshot::setPassedOver(std::function<bool(const QString&)> passedOver) {
    m_passedOver = std::move(passedOver);
}

// --- Windows -----------------------------------------------------------------------------------

ChromiumWindow& ChromiumSnapshot::add(const QString& targetId, const QJsonObject& info) {
    auto window = std::make_unique<ChromiumWindow>(m_nextHandle++, targetId);
    if (m_nextHandle == 0)
        m_nextHandle = 1;
    ChromiumWindow& w = *window;
    w.m_title = str(info, "title", kMaxTitle);
    w.m_url = str(info, "url", kMaxUrl);
    m_windows[targetId] = std::move(window);
    return w;
}

ChromiumWindow* ChromiumSnapshot::byTarget(const QString& targetId) const {
    const auto it = m_windows.find(targetId);
    return it == m_windows.end() ? nullptr : it->second.get();
}

ChromiumWindow* ChromiumSnapshot::byHandle(WindowHandle handle) const {
    for (ChromiumWindow* w : m_order)
        if (w->hwnd() == handle)
            return w;
    return nullptr;
}

void ChromiumSnapshot::registerWindow(const QString& targetId) {
    ChromiumWindow* w = byTarget(targetId);
    if (!w || w->m_registered || w->m_gone)
        return;
    w->m_registered = true;
    w->m_registeredRound = m_round;
    w->m_registeredAt = m_clock.elapsed();
    m_order.push_back(w);
    emit windowRegistered();
}

void ChromiumSnapshot::revoke(const QString& targetId) {
    const auto it = m_windows.find(targetId);
    if (it == m_windows.end())
        return;
    std::unique_ptr<ChromiumWindow> gone = std::move(it->second);
    m_windows.erase(it);
    gone->m_gone = true;
    emit windowDropped(gone->hwnd(), gone->m_sessionId);
    const bool wasRegistered = gone->m_registered;
    std::erase(m_order, gone.get());
    // Listeners may still hold the pointer while the event runs: it goes later.
    gone.release()->deleteLater();
    if (wasRegistered)
        emit windowRevoked();
}

void ChromiumSnapshot::reset() {
    m_pollTimer.stop();
    m_unknownSince.clear();
    m_roundOutstanding = 0;
    // The windows go one by one, as the shell reports each closed window.
    while (!m_order.empty())
        revoke(m_order.back()->targetId());
    m_windows.clear();
}

void ChromiumSnapshot::silenceWindows() {
    for (auto& [id, w] : m_windows)
        w->blockSignals(true);
}

// --- What the browser reports ------------------------------------------------------------------

void ChromiumSnapshot::applyInfo(const QJsonObject& targetInfo) {
    if (ChromiumWindow* w = byTarget(str(targetInfo, "targetId"))) {
        w->m_boundsDue = true;
        w->m_title = str(targetInfo, "title", kMaxTitle);
        w->m_url = str(targetInfo, "url", kMaxUrl);
    }
}

void ChromiumSnapshot::applyBounds(ChromiumWindow& w, const QJsonObject& windowForTarget) {
    const QJsonObject bounds = windowForTarget.value(QStringLiteral("bounds")).toObject();
    const QJsonValue width = bounds.value(QStringLiteral("width"));
    const QJsonValue height = bounds.value(QStringLiteral("height"));
    if (width.isDouble())
        w.m_width = width.toInt();
    if (height.isDouble())
        w.m_height = height.toInt();
    w.m_topLeft = QPoint(bounds.value(QStringLiteral("left")).toInt(),
                         bounds.value(QStringLiteral("top")).toInt());
}

// --- The polling round -------------------------------------------------------------------------

void ChromiumSnapshot::watchTargets() {
    m_launcher.send(QStringLiteral("Target.setDiscoverTargets"),
                    obj({{"discover", true}, {"filter", cdp::pagesOnly()}}));
}

void ChromiumSnapshot::startPolling() {
    m_lastActivity = m_clock.elapsed();
    m_pollTimer.setInterval(m_pollMs);
    m_pollTimer.start();
    poll();
}

void ChromiumSnapshot::noteActivity() {
    m_lastActivity = m_clock.elapsed();
    if (m_pollTimer.isActive() && m_pollTimer.interval() != m_pollMs) {
        m_pollTimer.setInterval(m_pollMs);
        m_pollTimer.start();
    }
}

void ChromiumSnapshot::poll() {
    if (!m_launcher.connected())
        return;
    if (m_clock.elapsed() - m_lastActivity >= kQuietAfterMs &&
        m_pollTimer.interval() < kQuietPollMs)
        m_pollTimer.setInterval(kQuietPollMs);
    if (m_roundOutstanding > 0 && m_roundStart.elapsed() < kRoundStaleMs)
        return; // the browser is slow: no pile of unanswered rounds
    const quint64 round = ++m_round;
    const quint64 generation = m_launcher.generation();
    m_roundStart.start();
    m_roundOutstanding = 0;
    auto done = [this, round] {
        if (round == m_round && m_roundOutstanding > 0)
            --m_roundOutstanding;
    };
    // All commands of a round are sent together and answered as they come.
    ++m_roundOutstanding;
    m_launcher.send(QStringLiteral("Target.getTargets"), obj({{"filter", cdp::pagesOnly()}}), {},
                    [this, generation, round, done](const CdpReply& reply) {
                        if (generation != m_launcher.generation())
                            return;
                        done();
                        if (reply.ok)
                            applyTargets(reply.result, round);
                    });
    const qint64 now = m_clock.elapsed();
    for (ChromiumWindow* w : m_order) {
        const bool askBounds = w->m_boundsDue || !w->m_width || !w->m_height ||
                               now - w->m_registeredAt < kNewWindowMs ||
                               (round + w->hwnd()) % kQuietBoundsEvery == 0;
        if (askBounds) {
            w->m_boundsDue = false;
            ++m_roundOutstanding;
            m_launcher.send(
                QStringLiteral("Browser.getWindowForTarget"), obj({{"targetId", w->targetId()}}),
                {}, [this, generation, done, targetId = w->targetId()](const CdpReply& reply) {
                    if (generation != m_launcher.generation())
                        return;
                    done();
                    if (ChromiumWindow* window = byTarget(targetId); window && reply.ok)
                        applyBounds(*window, reply.result);
                });
        }
        // A window whose session ended (detached by the browser) is attached again, at
        // most once a second.
        if (w->m_sessionId.isEmpty() &&
            (w->m_attachAskedAt == 0 || m_clock.elapsed() - w->m_attachAskedAt >= kAdoptAfterMs)) {
            w->m_attachAskedAt = m_clock.elapsed();
            m_launcher.send(QStringLiteral("Target.attachToTarget"),
                            obj({{"targetId", w->targetId()}, {"flatten", true}}));
        }
    }
}

void ChromiumSnapshot::applyTargets(const QJsonObject& result, quint64 round) {
    const QJsonArray infos = result.value(QStringLiteral("targetInfos")).toArray();
    std::set<QString> listed;
    const qint64 now = m_clock.elapsed();
    for (const QJsonValue& v : infos) {
        const QJsonObject info = v.toObject();
        if (str(info, "type") != u"page")
            continue;
        const QString targetId = str(info, "targetId");
        listed.insert(targetId);
        if (ChromiumWindow* w = byTarget(targetId)) {
            // A title change raises no event: it is only seen here.
            w->m_title = str(info, "title", kMaxTitle);
            w->m_url = str(info, "url", kMaxUrl);
        } else if (!(m_passedOver && m_passedOver(targetId))) {
            // A page that never attached (auto-attach missed it): attach it ourselves.
            const auto [it, fresh] = m_unknownSince.try_emplace(targetId, now);
            if (!fresh && now - it->second >= kAdoptAfterMs) {
                it->second = now;
                m_launcher.send(QStringLiteral("Target.attachToTarget"),
                                obj({{"targetId", targetId}, {"flatten", true}}));
            }
        }
    }
    for (auto it = m_unknownSince.begin(); it != m_unknownSince.end();)
        it = listed.count(it->first) ? std::next(it) : m_unknownSince.erase(it);
    // A window registered before this round was asked for and no longer listed is gone,
    // even if its end was never reported.
    std::vector<QString> missing;
    for (ChromiumWindow* w : m_order)
        if (w->m_registeredRound < round && !listed.count(w->targetId()))
            missing.push_back(w->targetId());
    for (const QString& targetId : missing)
        revoke(targetId);
}

} // namespace platform::linuxp
