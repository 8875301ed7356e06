#pragma once

#include "platform/linux/FirefoxWindow.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QRect>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace platform::linuxp {

class FirefoxLauncher;

// Firefox's top-level browsing contexts as the program sees them, kept here so that every read
// is answered at once: each admitted context with its address and window size, the registered
// (listed) ones in the order they opened, and which frame belongs to which page. Events keep
// it fresh; a light polling round (the context tree and the window sizes, two commands
// whatever the number of pages) brings sizes, which no event reports, and repairs what an
// event may have missed.
class FirefoxSnapshot : public QObject {
    Q_OBJECT
public:
    FirefoxSnapshot(FirefoxLauncher& launcher, int pollMs, QObject* parent = nullptr);

    /// `adopt` is called with a top-level context that the browser lists but no event
    /// announced; `passedOver` tells which unlisted contexts are somebody else's business
    /// (pop-ups being decided or refused).
    void setAdopt(std::function<void(const QJsonObject& info)> adopt);
    void setPassedOver(std::function<bool(const QString& context)> passedOver);

    /// A new admitted context, not registered yet, with a handle never used before.
    FirefoxWindow& add(const QString& context, const QJsonObject& info);
    FirefoxWindow* byContext(const QString& context) const;
    /// Registered windows only.
    FirefoxWindow* byHandle(WindowHandle handle) const;
    /// The admitted window that shows a context: its own, or the page that holds the frame.
    FirefoxWindow* windowOf(const QString& context) const;
    /// The top-level context that holds a context (itself when it is not a known frame).
    QString topContextOf(const QString& context) const;
    /// Every admitted window, registered or not.
    std::vector<FirefoxWindow*> admitted() const;
    /// The registered windows, oldest first.
    const std::vector<FirefoxWindow*>& registered() const { return m_order; }
    /// Lists an admitted context: it becomes a window of the shell.
    void registerWindow(const QString& context);
    /// Forgets a context; a registered one is reported closed.
    void revoke(const QString& context);

    void noteFrame(const QString& frame, const QString& parent);
    void forgetFrame(const QString& frame) { m_frameParent.erase(frame); }

    /// Asks for the sizes of the browser's windows; `then` runs once they are in, or could
    /// not be had.
    void refreshSizes(std::function<void()> then = {});

    void startPolling();
    /// The connection ended: the rounds stop and every window goes, one by one.
    void reset();
    /// No more signals from the windows (the adapter is going away).
    void silenceWindows();

signals:
    void windowRegistered();
    void windowRevoked();
    /// A window is forgotten (before `windowRevoked`).
    void windowDropped(platform::WindowHandle handle);

private:
    void poll();
    void applyTree(const QJsonObject& result, quint64 round);
    void applyClientWindows(const QJsonObject& result);
    void applySize(FirefoxWindow& w) const;

    FirefoxLauncher& m_launcher;
    std::function<void(const QJsonObject&)> m_adopt;
    std::function<bool(const QString&)> m_passedOver;
    WindowHandle m_nextHandle = 1;
    std::map<QString, std::unique_ptr<FirefoxWindow>> m_windows; // by context, admitted
    std::vector<FirefoxWindow*> m_order;                         // registered, oldest first
    std::map<QString, QString> m_frameParent;                    // frame -> parent context
    std::map<QString, QRect> m_clientWindows;                    // outer bounds by client window
    std::map<QString, qint64> m_unknownSince; // listed contexts nobody announced, since when
    QTimer m_pollTimer;
    quint64 m_round = 0;
    int m_roundOutstanding = 0;
    QElapsedTimer m_roundStart;
    QElapsedTimer m_clock;
};

} // namespace platform::linuxp
