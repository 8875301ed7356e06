#pragma once

#include "platform/linux/BidiConnection.h"
#include "platform/linux/FirefoxOptions.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QTimer>

namespace platform::linuxp {

// Firefox and the WebDriver BiDi session with it. Launches Firefox with a profile folder of
// Tavrel's own and a debugging port that Firefox picks free on 127.0.0.1, or attaches to a
// Firefox listening on a loopback port; either way it holds the one session Firefox allows, so
// no other local program can drive the browser meanwhile. After a crash of a launched browser
// or a lost connection to an attached one, it starts or attaches again. Every command of the
// adapter goes through `send`.
class FirefoxLauncher : public QObject {
    Q_OBJECT
public:
    explicit FirefoxLauncher(const FirefoxOptions& options, QObject* parent = nullptr);
    ~FirefoxLauncher() override;

    /// Launches or attaches (nothing when connected or connecting). False, with `lastError`,
    /// when nothing could be started.
    bool start();
    /// Lets the browser go: a launched one is closed, an attached one is left running with its
    /// session ended. Nothing starts again until `start`.
    void stop();
    /// True once the session is open.
    bool connected() const { return m_bidi && m_sessionOpen; }
    QString lastError() const { return m_lastError; }
    /// The live connection (null while none).
    BidiConnection* connection() const { return m_bidi; }
    /// The launched browser's process id (0 when none).
    qint64 browserPid() const;
    /// Changes whenever a connection ends: an answer or a timer from before then compares
    /// unequal and is dropped.
    quint64 generation() const { return m_generation; }
    /// Sends a command; without a session its callback fails on the next turn.
    qint64 send(const QString& method, const QJsonObject& params = {}, BidiCallback callback = {},
                bool holdsPopups = false);

    /// How pop-ups are held (the options').
    PopupGuard popupGuard() const { return m_options.popupGuard; }
    /// The program let a pop-up go: the socket stops holding its requests.
    void admitPopup(const QString& context) {
        if (m_bidi)
            m_bidi->admit(context);
    }

    /// The preferences written into Tavrel's own profile (user.js), one `user_pref` line each.
    static QByteArray profilePreferences();

signals:
    /// The session is open; the browser's events follow.
    void opened();
    void event(const QString& method, const QJsonObject& params);
    /// The session ended (`lastError` says why); emitted before any new start.
    void closed();

private:
    bool launch();
    void attach();
    void connectTo(const QString& host, quint16 port);
    void onSocketOpened();
    void onGone(const QString& reason);
    void onOutput();
    void onProcessFinished(int exitCode, QProcess::ExitStatus status);
    void dropProcess();

    const FirefoxOptions& m_options;
    QString m_lastError;
    QPointer<BidiConnection> m_bidi;
    bool m_sessionOpen = false;
    QProcess* m_process = nullptr;
    QByteArray m_output;
    bool m_stopping = false;
    quint64 m_generation = 0;
    QTimer m_retryTimer;
    QTimer m_startTimer;
    QElapsedTimer m_launchedAt;
    int m_quickCrashes = 0;
};

} // namespace platform::linuxp
