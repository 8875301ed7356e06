#pragma once

#include "platform/Browser.h"
#include "platform/linux/CdpConnection.h"
#include "platform/linux/ChromiumOptions.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <optional>

namespace platform::linuxp {

// The browser and the connection to it. Launches the browser with a private pipe, or
// attaches to one listening on a loopback debugging port; after a crash of a launched
// browser or a lost connection to an attached one, starts or attaches again. Every command
// of the adapter goes through `send`. Its status says what is watched or why nothing is: a
// profile already held by a running browser (seen on its lock before launching, or when the
// launched process hands its pages over and ends at once), a browser that never answers or
// says it refuses to be watched on that profile.
class ChromiumLauncher : public QObject {
    Q_OBJECT
public:
    explicit ChromiumLauncher(const ChromiumOptions& options, QObject* parent = nullptr);
    ~ChromiumLauncher() override;

    /// Launches or attaches (nothing when connected or connecting). False, with `lastError`,
    /// when nothing could be started.
    bool start();
    /// Lets the browser go: a launched one is closed, an attached one is left running. Nothing
    /// starts again until `start`.
    void stop();
    /// Starts again where only the user could make a difference (see BrowserShell::wake).
    void wake();
    const BrowserStatus& status() const { return m_status; }
    bool connected() const { return m_cdp && m_cdp->isOpen(); }
    QString lastError() const { return m_lastError; }
    /// The live connection (null while none).
    CdpConnection* connection() const { return m_cdp; }
    /// The launched browser's process id (0 when none).
    qint64 browserPid() const;
    /// Changes whenever a connection ends: an answer or a timer from before then compares
    /// unequal and is dropped.
    quint64 generation() const { return m_generation; }
    /// Sends a command; without a connection its callback fails on the next turn.
    qint64 send(const QString& method, const QJsonObject& params = {},
                const QString& sessionId = {}, CdpCallback callback = {});

    /// The process id holding the lock of a Chromium profile folder on this machine (-1 when
    /// held from another machine), or nothing when no running browser holds it.
    static std::optional<qint64> profileHolder(const QString& profileDir);

signals:
    /// The connection is open; the browser's events follow.
    void opened();
    void event(const QString& method, const QJsonObject& params, const QString& sessionId);
    /// The connection ended (`lastError` says why); emitted before any new start.
    void closed();
    void statusChanged();

private:
    bool launch();
    void attach();
    void adopt(CdpConnection* connection);
    void onOpened();
    void onAnswered();
    void onGone(const QString& reason);
    void onProcessFinished(int exitCode, QProcess::ExitStatus status);
    void onOutput();
    /// The launched browser will not be watched: it is closed, and nothing starts again.
    void giveUp(BrowserStatus::Reason reason, const QString& detail = {});
    /// Another browser holds the profile: nothing is launched until it lets it go.
    void profileInUse();
    void setStatus(BrowserStatus::State state, BrowserStatus::Reason reason,
                   const QString& detail = {});
    void endProcess();
    QString address() const;

    const ChromiumOptions& m_options;
    QString m_lastError;
    BrowserStatus m_status;
    QString m_name;    // the browser's name for the status
    QString m_lockDir; // the profile folder of the launched browser, when known
    bool m_ownProfile = false;
    bool m_answered = false; // the browser answered since it was launched or reached
    bool m_givenUp = false;
    bool m_handOff = false; // the launched process said another one holds the profile
    QByteArray m_output;    // the end of the launched browser's output
    QTimer m_answerTimer;
    QTimer m_profileTimer;
    QPointer<CdpConnection> m_cdp;
    QProcess* m_process = nullptr;
    bool m_stopping = false;
    quint64 m_generation = 0;
    QTimer m_retryTimer;
    QElapsedTimer m_launchedAt;
    int m_quickCrashes = 0;
};

} // namespace platform::linuxp
