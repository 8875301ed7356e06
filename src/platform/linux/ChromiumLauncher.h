#pragma once

#include "platform/linux/CdpConnection.h"
#include "platform/linux/ChromiumOptions.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QTimer>

namespace platform::linuxp {

// The browser and the connection to it. Launches the browser with a private pipe, or
// attaches to one listening on a loopback debugging port; after a crash of a launched
// browser or a lost connection to an attached one, starts or attaches again. Every command
// of the adapter goes through `send`.
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

signals:
    /// The connection is open; the browser's events follow.
    void opened();
    void event(const QString& method, const QJsonObject& params, const QString& sessionId);
    /// The connection ended (`lastError` says why); emitted before any new start.
    void closed();

private:
    bool launch();
    void attach();
    void adopt(CdpConnection* connection);
    void onOpened();
    void onGone(const QString& reason);
    void onProcessFinished(int exitCode, QProcess::ExitStatus status);

    const ChromiumOptions& m_options;
    QString m_lastError;
    QPointer<CdpConnection> m_cdp;
    QProcess* m_process = nullptr;
    bool m_stopping = false;
    quint64 m_generation = 0;
    QTimer m_retryTimer;
    QElapsedTimer m_launchedAt;
    int m_quickCrashes = 0;
};

} // namespace platform::linuxp
