#pragma once

#include "platform/Browser.h"
#include "platform/linux/FirefoxLauncher.h"
#include "platform/linux/FirefoxOptions.h"
#include "platform/linux/FirefoxPages.h"
#include "platform/linux/FirefoxPopupGate.h"
#include "platform/linux/FirefoxSnapshot.h"
#include "platform/linux/FirefoxWindow.h"

namespace platform::linuxp {

// The open pages of Firefox over WebDriver BiDi, as the shell the program watches. Its parts:
// the launcher (the browser and the session), the snapshot (the windows every read answers
// from), the pages (page script, page events, mouse reports) and the pop-up gate (which new
// contexts may load). This class owns them and routes the browser's events to them.
class FirefoxBrowser : public BrowserShell {
    Q_OBJECT
public:
    /// Takes its options from the environment and starts at the first turn of the event loop
    /// unless `start` is called before.
    explicit FirefoxBrowser(QObject* parent = nullptr);
    /// Starts only when `start` is called.
    explicit FirefoxBrowser(FirefoxOptions options, QObject* parent = nullptr);
    ~FirefoxBrowser() override;

    /// Launches or attaches. Also brings the browser back after it went away. False (and
    /// `lastError` and the status say why) when nothing could be started.
    bool start();
    /// Lets the browser go: a launched one is closed, an attached one is left running.
    void stop() { m_launcher.stop(); }
    bool connected() const { return m_launcher.connected(); }
    QString lastError() const { return m_launcher.lastError(); }
    const FirefoxOptions& options() const { return m_options; }

    QList<BrowserWindow*> windows() const override;
    bool postClose(WindowHandle handle) override;
    bool keyDown(Key key) const override { return m_pages.keyDown(key); }
    QPoint cursorPosIn(WindowHandle handle) const override;
    bool available() const override { return connected(); }
    BrowserStatus status() const override { return m_launcher.status(); }
    void wake() override { m_launcher.wake(); }

    // Opening an address on the user's demand, and the address a page asks a new window for.
    bool openUrl(const QString& url) override;
    QString requestedWindowUrl(WindowHandle opener) const override;

    // The browser's cookies (see FirefoxCookies).
    bool hasCookies() const override;
    void readCookies(CookieCallback done) override;
    void deleteCookies(const QList<BrowserCookie>& cookies, CookieCallback done) override;

    /// For tests and tools: the live connection (null while none), a window's browsing
    /// context, the launched browser's process id (0 when none).
    BidiConnection* connection() const { return m_launcher.connection(); }
    QString contextOf(WindowHandle handle) const;
    qint64 browserPid() const { return m_launcher.browserPid(); }
    /// Pop-ups refused, and refused pop-ups that had to be asked twice to close.
    int refusedCount() const { return m_gate.refusedCount(); }
    int fallbackCount() const { return m_gate.fallbackCount(); }

signals:
    /// The session with the browser opened or ended.
    void connectionChanged(bool connected);
    /// A refused pop-up's context is gone, `ms` after the browser announced it.
    void popupRefusalDone(const QString& context, qint64 ms);

private:
    void onConnected();
    void onDisconnected();
    void onEvent(const QString& method, const QJsonObject& params);
    void onContextGone(const QJsonObject& params);

    // In the order they are made; the launcher goes last.
    FirefoxOptions m_options;
    FirefoxLauncher m_launcher;
    FirefoxSnapshot m_snapshot;
    FirefoxPages m_pages;
    FirefoxPopupGate m_gate;
    bool m_autoStart = false;
};

} // namespace platform::linuxp
