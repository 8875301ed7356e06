#pragma once

#include "platform/Browser.h"
#include "platform/linux/CdpConnection.h"
#include "platform/linux/CdpKeyState.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace platform::linuxp {

// How Tavrel reaches the browser. Read from the environment by the program; tests fill it in.
struct ChromiumOptions {
    /// Browser to launch (TAVREL_BROWSER); empty: chromium found on the PATH.
    QString browser;
    /// Flags added to the launch command (TAVREL_BROWSER_ARGS, split like a shell would).
    QStringList arguments;
    /// Profile folder of a launched browser (TAVREL_BROWSER_PROFILE); empty: Tavrel's own
    /// folder under the user's data folder. A --user-data-dir in `arguments` wins.
    QString profileDir;
    /// Attach to a browser already listening on this loopback address (TAVREL_ATTACH)
    /// instead of launching one; port 0 means launch.
    QString attachHost = QStringLiteral("127.0.0.1");
    quint16 attachPort = 0;
    /// Key state from the X server when a display opens (TAVREL_KEY_STATE=page turns it off).
    bool useX11 = true;
    /// Period of the snapshot refresh.
    int pollMs = 200;
    /// A refused pop-up that has not been closed by then is closed anyway.
    int popupFallbackMs = 500;
    /// Delay before attaching again, or before launching again after a crash.
    int retryMs = 1000;
    /// Why a value of the environment was not usable; nothing starts while it is set.
    QString error;

    static ChromiumOptions fromEnvironment();
};

class ChromiumBrowser;

// One page target (a tab or a pop-up window), answered from the adapter's snapshot.
class ChromiumWindow : public BrowserWindow {
    Q_OBJECT
public:
    ChromiumWindow(ChromiumBrowser& browser, WindowHandle handle, QString targetId);

    WindowHandle hwnd() const override { return m_handle; }
    std::optional<QString> locationName() const override;
    std::optional<QString> locationURL() const override;
    std::optional<int> width() const override;
    std::optional<int> height() const override;
    bool hasDocument() const override;

    const QString& targetId() const { return m_targetId; }
    const QString& sessionId() const { return m_sessionId; }

private:
    friend class ChromiumBrowser;
    ChromiumBrowser& m_browser;
    WindowHandle m_handle;
    QString m_targetId;
    QString m_sessionId;
    QString m_title;
    QString m_url;
    std::optional<int> m_width;
    std::optional<int> m_height;
    QPoint m_topLeft;
    QString m_mainFrameId;
    QString m_binding;
    bool m_registered = false;
    bool m_gone = false;
    bool m_scriptReady = false;
    bool m_scriptAnswered = false;
    bool m_boundsAnswered = false;
    std::function<void()> m_onSetUp; // runs once the page script's answer is in
    quint64 m_registeredRound = 0;
    qint64 m_attachAskedAt = 0;
};

// The open pages of a Chromium browser over the DevTools Protocol. Launches the browser with
// a private pipe, or attaches to one started with a debugging port; keeps a snapshot of the
// pages that every read answers from; turns the browser's events into the shell's.
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
    void stop();
    bool connected() const;
    QString lastError() const { return m_lastError; }
    const ChromiumOptions& options() const { return m_options; }

    QList<BrowserWindow*> windows() const override;
    bool postClose(WindowHandle handle) override;
    bool keyDown(Key key) const override;
    QPoint cursorPosIn(WindowHandle handle) const override;
    bool available() const override { return connected(); }

    /// For tests and tools: the live connection (null while none), a page's session and
    /// target, the launched browser's process id (0 when none).
    CdpConnection* connection() const { return m_cdp; }
    QString sessionOf(WindowHandle handle) const;
    QString targetOf(WindowHandle handle) const;
    qint64 browserPid() const;
    /// Pop-ups refused, and refused pop-ups closed by the fallback rather than the request.
    int refusedCount() const { return m_refused; }
    int fallbackCount() const { return m_fallbacks; }

signals:
    /// The connection to the browser opened or ended.
    void connectionChanged(bool connected);
    /// A refused pop-up's target is gone, `ms` after the browser announced it.
    void popupRefusalDone(const QString& targetId, qint64 ms);

private:
    friend class ChromiumWindow;
    struct Refusal {
        QString sessionId;
        QString openerSessionId;
        QElapsedTimer since;
        bool closeSent = false;
    };
    struct WindowOpen {
        QString openerTarget;
        qint64 at = 0;
    };

    bool launch();
    void attach();
    void adopt(CdpConnection* connection);
    void onConnected();
    void onGone(const QString& reason);
    void onProcessFinished(int exitCode, QProcess::ExitStatus status);
    void onEvent(const QString& method, const QJsonObject& params, const QString& sessionId);
    void onAttached(const QJsonObject& params);
    void onDetached(const QJsonObject& params);
    void onTargetGone(const QString& targetId);
    void onTargetInfo(const QJsonObject& info);
    void onPageEvent(ChromiumWindow& w, const QString& method, const QJsonObject& params);
    void onBinding(ChromiumWindow& w, const QJsonObject& params);
    ChromiumWindow* openerOf(const QJsonObject& info);
    void admit(const QString& targetId, const QString& sessionId, const QJsonObject& info,
               bool waiting);
    void refuse(const QString& targetId, const QString& sessionId, const QString& openerSession);
    void closeRefused(const QString& targetId);
    void setUpSession(ChromiumWindow& w);
    void registerWindow(const QString& targetId);
    void revoke(const QString& targetId);
    void applyBounds(ChromiumWindow& w, const QJsonObject& result);
    void applyTargets(const QJsonObject& result, quint64 round);
    void poll();
    qint64 send(const QString& method, const QJsonObject& params = {},
                const QString& sessionId = {}, CdpCallback callback = {});
    ChromiumWindow* byTarget(const QString& targetId) const;
    ChromiumWindow* bySession(const QString& sessionId) const;
    ChromiumWindow* byHandle(WindowHandle handle) const;
    QString pageScript(const QString& binding) const;

    ChromiumOptions m_options;
    QString m_lastError;
    QPointer<CdpConnection> m_cdp;
    QProcess* m_process = nullptr;
    bool m_autoStart = false;
    bool m_stopping = false;
    quint64 m_generation = 0;
    WindowHandle m_nextHandle = 1;
    QString m_bindingName; // random per run; each session adds a serial number
    quint64 m_bindingSerial = 0;
    std::map<QString, std::unique_ptr<ChromiumWindow>> m_windows; // by target, admitted
    std::vector<ChromiumWindow*> m_order;                         // registered, oldest first
    std::map<QString, QString> m_sessionTarget;
    std::map<QString, Refusal> m_refusals; // by target
    std::deque<WindowOpen> m_recentOpens;
    std::map<QString, qint64> m_unknownSince;
    CdpKeyState m_keys;
    QPoint m_lastClient;
    WindowHandle m_lastEventWindow = 0;
    QTimer m_pollTimer;
    QTimer m_retryTimer;
    quint64 m_round = 0;
    int m_roundOutstanding = 0;
    QElapsedTimer m_roundStart;
    QElapsedTimer m_clock;
    QElapsedTimer m_launchedAt;
    int m_quickCrashes = 0;
    int m_refused = 0;
    int m_fallbacks = 0;
};

} // namespace platform::linuxp
