#include "platform/linux/ChromiumLauncher.h"

#include "platform/Logging.h"
#include "platform/linux/CdpTransport.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

#include <unistd.h>

namespace platform::linuxp {

namespace {

// Launched browsers that crash within this long of their start count as failing to start.
constexpr qint64 kQuickCrashMs = 10000;
constexpr int kMaxQuickCrashes = 5;

} // namespace

ChromiumLauncher::ChromiumLauncher(const ChromiumOptions& options, QObject* parent)
    : QObject(parent), m_options(options) {
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, [this] {
        if (!connected() && !m_stopping)
            start();
    });
}

ChromiumLauncher::~ChromiumLauncher() {
    blockSignals(true);
    stop();
}

bool ChromiumLauncher::start() {
    m_stopping = false;
    if (m_cdp)
        return true; // connected, or connecting
    if (!m_options.error.isEmpty()) {
        m_lastError = m_options.error;
        return false;
    }
    if (m_options.attachPort != 0) {
        attach();
        return true;
    }
    return launch();
}

void ChromiumLauncher::stop() {
    m_stopping = true;
    m_retryTimer.stop();
    if (m_cdp)
        m_cdp->close(); // the launched browser ends when its pipe closes
    if (m_process) {
        m_process->disconnect(this);
        if (m_process->state() != QProcess::NotRunning && !m_process->waitForFinished(3000)) {
            m_process->kill();
            m_process->waitForFinished(1000);
        }
        delete m_process;
        m_process = nullptr;
    }
}

bool ChromiumLauncher::launch() {
    QString program = m_options.browser;
    if (program.isEmpty()) {
        for (const char* name : {"chromium", "chromium-browser", "google-chrome-stable"}) {
            program = QStandardPaths::findExecutable(QLatin1String(name));
            if (!program.isEmpty())
                break;
        }
        if (program.isEmpty()) {
            m_lastError = QStringLiteral("no chromium on the PATH (set TAVREL_BROWSER)");
            return false;
        }
    } else if (!QFileInfo(program).isExecutable()) {
        if (const QString found = QStandardPaths::findExecutable(program); !found.isEmpty())
            program = found;
        else {
            m_lastError = QStringLiteral("%1 is not an executable program").arg(program);
            return false;
        }
    }

    QStringList args{QStringLiteral("--remote-debugging-pipe"),
                     QStringLiteral("--disable-popup-blocking"), QStringLiteral("--no-first-run"),
                     QStringLiteral("--no-default-browser-check")};
    const bool ownProfile =
        std::none_of(m_options.arguments.begin(), m_options.arguments.end(),
                     [](const QString& a) { return a.startsWith(u"--user-data-dir"); });
    if (ownProfile) {
        QString profile = m_options.profileDir;
        if (profile.isEmpty())
            profile = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                      QStringLiteral("/Tavrel/browser-profile");
        QDir().mkpath(profile);
        args << QStringLiteral("--user-data-dir=") + profile;
    }
    // Chromium refuses to start as the root user unless its sandbox is off.
    if (::geteuid() == 0 && !m_options.arguments.contains(QStringLiteral("--no-sandbox")))
        args << QStringLiteral("--no-sandbox");
    args << m_options.arguments;

    int ours = -1, theirs = -1;
    if (!CdpPipeTransport::makePair(ours, theirs)) {
        m_lastError = QStringLiteral("cannot create the browser's pipe");
        return false;
    }
    if (m_process) {
        // The browser that went away may still be ending: let it go quietly.
        m_process->disconnect(this);
        if (m_process->state() != QProcess::NotRunning) {
            m_process->kill();
            m_process->waitForFinished(1000);
        }
        delete m_process;
    }
    m_process = new QProcess(this);
    m_process->setProgram(program);
    m_process->setArguments(args);
    m_process->setStandardInputFile(QProcess::nullDevice());
    // The browser's own output reaches Tavrel's terminal only when asked for
    // (QT_LOGGING_RULES="tavrel.browser.output.debug=true").
    if (!platform::lcBrowserOutput().isDebugEnabled()) {
        m_process->setStandardOutputFile(QProcess::nullDevice());
        m_process->setStandardErrorFile(QProcess::nullDevice());
    } else {
        m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    }
    m_process->setChildProcessModifier([theirs] {
        ::dup2(theirs, 3);
        ::dup2(theirs, 4);
    });
    connect(m_process, &QProcess::finished, this, &ChromiumLauncher::onProcessFinished);
    m_process->start();
    ::close(theirs);
    if (!m_process->waitForStarted(5000)) {
        m_lastError = QStringLiteral("cannot start %1: %2").arg(program, m_process->errorString());
        ::close(ours);
        m_process->disconnect(this);
        m_process->deleteLater();
        m_process = nullptr;
        return false;
    }
    m_launchedAt.start();
    qCInfo(platform::lcBrowser, "launched %s %s", qPrintable(program), qPrintable(args.join(u' ')));
    adopt(new CdpConnection(new CdpPipeTransport(ours)));
    return true;
}

void ChromiumLauncher::attach() {
    qCInfo(platform::lcBrowser, "attaching to %s port %u", qPrintable(m_options.attachHost),
           unsigned(m_options.attachPort));
    auto* transport = new CdpWebSocketTransport(m_options.attachHost, m_options.attachPort);
    adopt(new CdpConnection(transport));
    transport->open();
}

void ChromiumLauncher::adopt(CdpConnection* connection) {
    connection->setParent(this);
    m_cdp = connection;
    connect(connection, &CdpConnection::event, this, &ChromiumLauncher::event);
    connect(connection, &CdpConnection::closed, this, &ChromiumLauncher::onGone);
    connect(connection, &CdpConnection::opened, this, &ChromiumLauncher::onOpened);
    if (connection->isOpen())
        onOpened();
}

void ChromiumLauncher::onOpened() {
    m_lastError.clear();
    emit opened();
}

void ChromiumLauncher::onGone(const QString& reason) {
    CdpConnection* old = m_cdp;
    if (!old)
        return;
    ++m_generation;
    m_cdp = nullptr;
    old->disconnect(this);
    old->close();
    old->deleteLater();
    m_lastError = reason;
    qCInfo(platform::lcBrowser, "browser connection lost: %s", qPrintable(reason));
    emit closed();
    if (m_stopping)
        return;
    if (m_options.attachPort != 0)
        m_retryTimer.start(m_options.retryMs);
    // A launched browser is started again when it crashed (onProcessFinished); one that the
    // user closed stays closed until `start`.
}

void ChromiumLauncher::onProcessFinished(int exitCode, QProcess::ExitStatus status) {
    const bool crashed = status == QProcess::CrashExit || exitCode != 0;
    const bool quick = m_launchedAt.isValid() && m_launchedAt.elapsed() < kQuickCrashMs;
    onGone(crashed ? QStringLiteral("the browser crashed") : QStringLiteral("the browser ended"));
    if (m_process) {
        m_process->deleteLater();
        m_process = nullptr;
    }
    if (m_stopping || !crashed)
        return;
    m_quickCrashes = quick ? m_quickCrashes + 1 : 0;
    if (m_quickCrashes >= kMaxQuickCrashes) {
        qCWarning(platform::lcBrowser,
                  "the browser keeps crashing at start; not starting it again");
        return;
    }
    m_retryTimer.start(m_options.retryMs);
}

qint64 ChromiumLauncher::browserPid() const {
    return m_process ? m_process->processId() : 0;
}

qint64 ChromiumLauncher::send(const QString& method, const QJsonObject& params,
                              const QString& sessionId, CdpCallback callback) {
    if (!m_cdp) {
        if (callback)
            QTimer::singleShot(0, this, [callback] {
                callback({false, {}, QStringLiteral("no browser connection")});
            });
        return -1;
    }
    return m_cdp->send(method, params, sessionId, std::move(callback));
}

} // namespace platform::linuxp
