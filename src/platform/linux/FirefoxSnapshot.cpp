#include "platform/linux/FirefoxSnapshot.h"

#include "platform/linux/CdpJson.h"
#include "platform/linux/FirefoxLauncher.h"

#include <QJsonArray>
#include <set>

namespace platform::linuxp {

using cdp::str;

namespace {

// A top-level context listed this long without being announced is adopted.
constexpr qint64 kAdoptAfterMs = 1000;
// A round still unanswered after this long no longer holds back the next one.
constexpr qint64 kRoundStaleMs = 2000;
// Frames nest at most this deep (a guard against a cycle in what the browser said).
constexpr int kMaxFrameDepth = 64;

} // namespace

FirefoxSnapshot::FirefoxSnapshot(FirefoxLauncher& launcher, int pollMs, QObject* parent)
    : QObject(parent), m_launcher(launcher) {
    m_clock.start();
    m_pollTimer.setInterval(pollMs);
    connect(&m_pollTimer, &QTimer::timeout, this, &FirefoxSnapshot::poll);
}

void FirefoxSnapshot::setAdopt(std::function<void(const QJsonObject&)> adopt) {
    m_adopt = std::move(adopt);
}

void FirefoxSnapshot::setPassedOver(std::function<bool(const QString&)> passedOver) {
    m_passedOver = std::move(passedOver);
}

// --- Windows -----------------------------------------------------------------------------------

FirefoxWindow& FirefoxSnapshot::add(const QString& context, const QJsonObject& info) {
    auto window = std::make_unique<FirefoxWindow>(m_nextHandle++, context);
    if (m_nextHandle == 0)
        m_nextHandle = 1;
    FirefoxWindow& w = *window;
    w.m_url = str(info, "url");
    w.m_clientWindow = str(info, "clientWindow");
    applySize(w);
    m_unknownSince.erase(context);
    m_windows[context] = std::move(window);
    return w;
}

FirefoxWindow* FirefoxSnapshot::byContext(const QString& context) const {
    const auto it = m_windows.find(context);
    return it == m_windows.end() ? nullptr : it->second.get();
}

std::vector<FirefoxWindow*> FirefoxSnapshot::admitted() const {
    std::vector<FirefoxWindow*> all;
    all.reserve(m_windows.size());
    for (const auto& [context, w] : m_windows)
        all.push_back(w.get());
    return all;
}

FirefoxWindow* FirefoxSnapshot::byHandle(WindowHandle handle) const {
    for (FirefoxWindow* w : m_order)
        if (w->hwnd() == handle)
            return w;
    return nullptr;
}

QString FirefoxSnapshot::topContextOf(const QString& context) const {
    QString at = context;
    for (int depth = 0; depth < kMaxFrameDepth; ++depth) {
        const auto up = m_frameParent.find(at);
        if (up == m_frameParent.end())
            return at;
        at = up->second;
    }
    return {};
}

FirefoxWindow* FirefoxSnapshot::windowOf(const QString& context) const {
    return byContext(topContextOf(context));
}

void FirefoxSnapshot::registerWindow(const QString& context) {
    FirefoxWindow* w = byContext(context);
    if (!w || w->m_registered || w->m_gone)
        return;
    w->m_registered = true;
    w->m_registeredRound = m_round;
    m_order.push_back(w);
    emit windowRegistered();
}

void FirefoxSnapshot::revoke(const QString& context) {
    const auto it = m_windows.find(context);
    if (it == m_windows.end())
        return;
    std::unique_ptr<FirefoxWindow> gone = std::move(it->second);
    m_windows.erase(it);
    gone->m_gone = true;
    // Its frames go with it.
    std::vector<QString> frames;
    for (const auto& [frame, parent] : m_frameParent)
        if (topContextOf(frame) == context)
            frames.push_back(frame);
    for (const QString& frame : frames)
        m_frameParent.erase(frame);
    emit windowDropped(gone->hwnd());
    const bool wasRegistered = gone->m_registered;
    std::erase(m_order, gone.get());
    // Listeners may still hold the pointer while the event runs: it goes later.
    gone.release()->deleteLater();
    if (wasRegistered)
        emit windowRevoked();
}

void FirefoxSnapshot::noteFrame(const QString& frame, const QString& parent) {
    if (!frame.isEmpty() && !parent.isEmpty() && frame != parent)
        m_frameParent[frame] = parent;
}

void FirefoxSnapshot::reset() {
    m_pollTimer.stop();
    m_unknownSince.clear();
    m_frameParent.clear();
    m_clientWindows.clear();
    m_roundOutstanding = 0;
    // The windows go one by one, as the shell reports each closed window.
    while (!m_order.empty())
        revoke(m_order.back()->context());
    while (!m_windows.empty())
        revoke(m_windows.begin()->first);
}

void FirefoxSnapshot::silenceWindows() {
    for (auto& [id, w] : m_windows)
        w->blockSignals(true);
}

// --- Sizes -------------------------------------------------------------------------------------

void FirefoxSnapshot::refreshSizes(std::function<void()> then) {
    const quint64 generation = m_launcher.generation();
    m_launcher.send(QStringLiteral("browser.getClientWindows"), {},
                    [this, generation, then = std::move(then)](const BidiReply& reply) {
                        if (generation != m_launcher.generation())
                            return;
                        if (reply.ok)
                            applyClientWindows(reply.result);
                        if (then)
                            then();
                    });
}

void FirefoxSnapshot::applyClientWindows(const QJsonObject& result) {
    for (const QJsonValue& v : result.value(QStringLiteral("clientWindows")).toArray()) {
        const QJsonObject o = v.toObject();
        const QJsonValue width = o.value(QStringLiteral("width"));
        const QJsonValue height = o.value(QStringLiteral("height"));
        if (!width.isDouble() || !height.isDouble())
            continue;
        m_clientWindows[str(o, "clientWindow")] =
            QRect(o.value(QStringLiteral("x")).toInt(), o.value(QStringLiteral("y")).toInt(),
                  width.toInt(), height.toInt());
    }
    for (auto& [context, w] : m_windows)
        applySize(*w);
}

void FirefoxSnapshot::applySize(FirefoxWindow& w) const {
    const auto it = m_clientWindows.find(w.m_clientWindow);
    if (it == m_clientWindows.end())
        return;
    w.m_width = it->second.width();
    w.m_height = it->second.height();
    w.m_topLeft = it->second.topLeft();
}

// --- The polling round -------------------------------------------------------------------------

void FirefoxSnapshot::startPolling() {
    m_pollTimer.start();
    poll();
}

void FirefoxSnapshot::poll() {
    if (!m_launcher.connected())
        return;
    if (m_roundOutstanding > 0 && m_roundStart.elapsed() < kRoundStaleMs)
        return; // the browser is slow: no pile of unanswered rounds
    const quint64 round = ++m_round;
    const quint64 generation = m_launcher.generation();
    m_roundStart.start();
    m_roundOutstanding = 2;
    auto done = [this, round] {
        if (round == m_round && m_roundOutstanding > 0)
            --m_roundOutstanding;
    };
    m_launcher.send(QStringLiteral("browsingContext.getTree"),
                    QJsonObject{{QStringLiteral("maxDepth"), 0}},
                    [this, generation, round, done](const BidiReply& reply) {
                        if (generation != m_launcher.generation())
                            return;
                        done();
                        if (reply.ok)
                            applyTree(reply.result, round);
                    });
    m_launcher.send(QStringLiteral("browser.getClientWindows"), {},
                    [this, generation, done](const BidiReply& reply) {
                        if (generation != m_launcher.generation())
                            return;
                        done();
                        if (reply.ok)
                            applyClientWindows(reply.result);
                    });
}

void FirefoxSnapshot::applyTree(const QJsonObject& result, quint64 round) {
    std::set<QString> listed;
    const qint64 now = m_clock.elapsed();
    std::vector<QJsonObject> adopt;
    for (const QJsonValue& v : result.value(QStringLiteral("contexts")).toArray()) {
        const QJsonObject info = v.toObject();
        const QString context = str(info, "context");
        if (context.isEmpty())
            continue;
        listed.insert(context);
        if (FirefoxWindow* w = byContext(context)) {
            w->m_url = str(info, "url");
            if (const QString client = str(info, "clientWindow"); !client.isEmpty()) {
                w->m_clientWindow = client;
                applySize(*w);
            }
        } else if (!(m_passedOver && m_passedOver(context))) {
            const auto [it, fresh] = m_unknownSince.try_emplace(context, now);
            if (!fresh && now - it->second >= kAdoptAfterMs)
                adopt.push_back(info);
        }
    }
    for (auto it = m_unknownSince.begin(); it != m_unknownSince.end();)
        it = listed.count(it->first) ? std::next(it) : m_unknownSince.erase(it);
    // A window registered before this round was asked for and no longer listed is gone,
    // even if its end was never reported.
    std::vector<QString> missing;
    for (FirefoxWindow* w : m_order)
        if (w->m_registeredRound < round && !listed.count(w->context()))
            missing.push_back(w->context());
    for (const QString& context : missing)
        revoke(context);
    for (const QJsonObject& info : adopt)
        if (m_adopt && !byContext(str(info, "context")))
            m_adopt(info);
}

} // namespace platform::linuxp
