#pragma once

#include "platform/Browser.h"
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
// adapter goes through `send`. Its status says what is watched or why nothing is: no such
// program, a profile that a running Firefox holds (seen on its lock before launching, or when
// the launched one says so or never opens its port), a usual profile that Firefox would change
// while watched, a browser that closed, crashed or keeps crashing, an attached one that is
// unreachable, lost, or driven by another program.
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
    /// Starts again where only the user could make a difference (see BrowserShell::wake).
    void wake();
    const BrowserStatus& status() const { return m_status; }
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
    /// The words a Firefox prints when another one holds its profile (headless; with windows
    /// it asks on the screen instead).
    static const QByteArray& profileInUseWords();

signals:
    /// The session is open; the browser's events follow.
    void opened();
    void event(const QString& method, const QJsonObject& params);
    /// The session ended (`lastError` says why); emitted before any new start.
    void closed();
    void statusChanged();

private:
    bool launch();
    void attach();
    void connectTo(const QString& host, quint16 port);
    void onSocketOpened();
    void onGone(const QString& reason);
    void onOutput();
    void onProcessFinished(int exitCode, QProcess::ExitStatus status);
    void onStartTimeout();
    void dropProcess();
    /// Where the launched browser's profile is, and what to pass for it; false (with the
    /// status set) when it must not be launched on it.
    bool chooseProfile(QStringList& args);
    /// The launched browser will not be watched: it is ended, and nothing starts again.
    void giveUp(BrowserStatus::Reason reason, const QString& detail = {});
    /// Another Firefox holds the profile: nothing is launched until it lets it go.
    void profileInUse();
    /// True when a process other than the launched one holds the profile.
    bool heldByAnother() const;
    void setStatus(BrowserStatus::State state, BrowserStatus::Reason reason = {},
                   const QString& detail = {});
    QString address() const;

    const FirefoxOptions& m_options;
    QString m_lastError;
    QPointer<BidiConnection> m_bidi;
    bool m_sessionOpen = false;
    QProcess* m_process = nullptr;
    QByteArray m_output;
    BrowserStatus m_status;
    QString m_name;    // the browser's name for the status
    QString m_lockDir; // the launched browser's profile folder, when known
    bool m_ownProfile = false;
    bool m_blocksPopups = false; // its own pop-up blocker stays on (the user's profile)
    bool m_answered = false;     // a session was opened since the launch or the attach
    bool m_givenUp = false;
    bool m_handOff = false;        // the launched Firefox said another one holds the profile
    bool m_sessionRefused = false; // the attached Firefox gave its session to someone else
    bool m_stopping = false;
    quint64 m_generation = 0;
    QTimer m_retryTimer;
    QTimer m_startTimer;
    QTimer m_profileTimer;
    QElapsedTimer m_launchedAt;
    int m_quickCrashes = 0;
};

} // namespace platform::linuxp
