#pragma once

#include "platform/linux/ChromiumWindow.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace platform::linuxp {

class ChromiumLauncher;

// The browser's pages as the program sees them, kept here so that every read is answered at
// once: each admitted page with its title, address and window bounds, and the registered
// (listed) ones in the order they opened. A polling round keeps it fresh (a title change
// raises no event), drops windows whose end was never reported and attaches pages that
// auto-attach missed.
class ChromiumSnapshot : public QObject {
    Q_OBJECT
public:
    /// What is kept of a page's title and address, in characters: every scan reads at most
    /// this much of a page. Chromium itself cuts titles at 4,096 characters; an address can
    /// be 2 MB long, and a keyword found only beyond its first 8,192 characters is not seen.
    static constexpr qsizetype kMaxTitle = 4096;
    static constexpr qsizetype kMaxUrl = 8192;

    ChromiumSnapshot(ChromiumLauncher& launcher, int pollMs, QObject* parent = nullptr);

    /// Tells which unlisted targets are somebody else's business (refused pop-ups): those are
    /// never attached by the polling round.
    void setPassedOver(std::function<bool(const QString& targetId)> passedOver);

    /// A new admitted page, not registered yet, with a handle never used before.
    ChromiumWindow& add(const QString& targetId, const QJsonObject& info);
    ChromiumWindow* byTarget(const QString& targetId) const;
    /// Registered windows only.
    ChromiumWindow* byHandle(WindowHandle handle) const;
    /// The registered windows, oldest first.
    const std::vector<ChromiumWindow*>& registered() const { return m_order; }
    /// Lists an admitted page: it becomes a window of the shell.
    void registerWindow(const QString& targetId);
    /// Forgets a page; a registered one is reported closed.
    void revoke(const QString& targetId);

    void applyInfo(const QJsonObject& targetInfo);
    void applyBounds(ChromiumWindow& w, const QJsonObject& windowForTarget);
    /// The target attached (or ended): it is no longer waited for.
    void forgetUnknown(const QString& targetId) { m_unknownSince.erase(targetId); }

    /// On a new connection: asks for target events, then starts the polling rounds.
    void watchTargets();
    void startPolling();
    /// The browser reported something: the rounds run at full pace for a while.
    void noteActivity();
    /// The connection ended: the rounds stop and every window goes, one by one.
    void reset();
    /// No more signals from the windows (the adapter is going away).
    void silenceWindows();

signals:
    void windowRegistered();
    void windowRevoked();
    /// A page is forgotten (before `windowRevoked`): its session no longer leads to it.
    void windowDropped(platform::WindowHandle handle, const QString& sessionId);

private:
    void poll();
    void applyTargets(const QJsonObject& result, quint64 round);

    ChromiumLauncher& m_launcher;
    std::function<bool(const QString&)> m_passedOver;
    WindowHandle m_nextHandle = 1;
    std::map<QString, std::unique_ptr<ChromiumWindow>> m_windows; // by target, admitted
    std::vector<ChromiumWindow*> m_order;                         // registered, oldest first
    std::map<QString, qint64> m_unknownSince; // listed pages not attached, since when
    QTimer m_pollTimer;
    int m_pollMs = 200;
    qint64 m_lastActivity = 0;
    quint64 m_round = 0;
    int m_roundOutstanding = 0;
    QElapsedTimer m_roundStart;
    QElapsedTimer m_clock;
};

} // namespace platform::linuxp
