#pragma once

#include "platform/Browser.h"
#include "platform/linux/CdpConnection.h"
#include "platform/linux/ChromiumLauncher.h"
#include "platform/linux/ChromiumOptions.h"
#include "platform/linux/ChromiumPopupGate.h"
#include "platform/linux/ChromiumSessions.h"
#include "platform/linux/ChromiumSnapshot.h"
#include "platform/linux/ChromiumWindow.h"

#include <QElapsedTimer>
#include <map>

namespace platform::linuxp {

// The open pages of a Chromium browser over the DevTools Protocol, as the shell the program
// watches. Its parts: the launcher (the browser and the connection), the snapshot (the
// pages every read answers from), the sessions (page events, page script, mouse reports) and
// the pop-up gate (which new pages may run). This class owns them and routes the browser's
// events to them.
class ChromiumBrowser : public BrowserShell {
    Q_OBJECT
public:
    /// Takes its options from the environment and starts at the first turn of the event loop
    /// unless `start` is called before.
    explicit ChromiumBrowser(QObject* parent = nullptr);
    /// Starts only when `start` is called.
    explicit ChromiumBrowser(ChromiumOptions options, QObject* parent = nullptr);
    ~ChromiumBrowser() override;

    /// Launches or attaches. Also brings the browser back after it went away. False (and
    /// `lastError` says why) when nothing could be started.
    bool start();
    /// Lets the browser go: a launched one is closed, an attached one is left running.
    void stop() { m_launcher.stop(); }
    bool connected() const { return m_launcher.connected(); }
    QString lastError() const { return m_launcher.lastError(); }
    const ChromiumOptions& options() const { return m_options; }

    QList<BrowserWindow*> windows() const override;
    bool postClose(WindowHandle handle) override;
    bool keyDown(Key key) const override;
    QPoint cursorPosIn(WindowHandle handle) const override;
    bool available() const override { return connected(); }
    BrowserStatus status() const override { return m_launcher.status(); }
    void wake() override { m_launcher.wake(); }
    /// Opens the address in a new tab (Target.createTarget).
    bool openUrl(const QString& url) override;
    /// From the opener's Page.windowOpen report, made just before its pop-up attaches.
    QString requestedWindowUrl(WindowHandle opener) const override;
    std::optional<bool> newWindowGesture() const override { return m_gate.decidingGesture(); }

    // The browser's cookies (see ChromiumCookies).
    bool hasCookies() const override;
    void readCookies(CookieCallback done) override;
    void deleteCookies(const QList<BrowserCookie>& cookies, CookieCallback done) override;

    /// For tests and tools: the live connection (null while none), a page's session and
    /// target, the launched browser's process id (0 when none).
    CdpConnection* connection() const { return m_launcher.connection(); }
    QString sessionOf(WindowHandle handle) const;
    QString targetOf(WindowHandle handle) const;
    /// The name of the function a page's script reports mouse events through.
    QString bindingOf(WindowHandle handle) const;
    qint64 browserPid() const { return m_launcher.browserPid(); }
    /// Pop-ups refused, and refused pop-ups closed by the fallback rather than the request.
    int refusedCount() const { return m_gate.refusedCount(); }
    int fallbackCount() const { return m_gate.fallbackCount(); }
    /// Times a page's mouse reports were muted for flooding.
    int reportMutes() const { return m_sessions.reportMutes(); }

signals:
    /// The connection to the browser opened or ended.
    void connectionChanged(bool connected);
    /// A refused pop-up's target is gone, `ms` after the browser announced it.
    void popupRefusalDone(const QString& targetId, qint64 ms);

private:
    void onConnected();
    void onDisconnected();
    void onEvent(const QString& method, const QJsonObject& params, const QString& sessionId);
    void onTargetGone(const QString& targetId);
    void noteRequestedUrl(const QString& openerTargetId, const QString& url);

    // In the order they are made; the launcher goes last.
    ChromiumOptions m_options;
    ChromiumLauncher m_launcher;
    ChromiumSnapshot m_snapshot;
    ChromiumSessions m_sessions;
    ChromiumPopupGate m_gate;
    bool m_autoStart = false;
    // The address each page last asked a new window for, and when (ms of m_sinceStart).
    struct RequestedUrl {
        QString url;
        qint64 at = 0;
    };
    std::map<QString, RequestedUrl> m_requestedUrls; // by the opener's target
    QElapsedTimer m_sinceStart;
};

} // namespace platform::linuxp
