#include "platform/linux/ChromiumLauncher.h"

#include "platform/Logging.h"
#include "platform/linux/CdpTransport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>

#include <unistd.h>

namespace platform::linuxp {

using State = BrowserStatus::State;
using Reason = BrowserStatus::Reason;

namespace {

// Launched browsers that crash within this long of their start count as failing to start.
constexpr qint64 kQuickCrashMs = 10000;
constexpr int kMaxQuickCrashes = 5;
constexpr qsizetype kOutputKept = 8192;

// What a Chromium-family browser prints when it hands its command line to the browser that
// already runs on that profile (with windows, or headless), or when it ignores the debugging
// flags on the user's usual profile.
const QByteArray kHandOffWords[] = {"Opening in existing browser session",
                                    "Failed to create a ProcessSingleton"};
const QByteArray kRefusalWords = "DevTools remote debugging requires a non-default data directory";

QString argumentValue(const QStringList& arguments, const QString& flag) {
    QString value;
    for (const QString& a : arguments)
        if (a.startsWith(flag + u'='))
            value = a.mid(flag.size() + 1);
    return value;
}

} // namespace

ChromiumLauncher::ChromiumLauncher(const ChromiumOptions& options, QObject* parent)
    : QObject(parent), m_options(options) {
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, [this] {
        if (!connected() && !m_stopping)
            start();
    });
    m_answerTimer.setSingleShot(true);
    connect(&m_answerTimer, &QTimer::timeout, this, [this] {
        // A browser that ignores the debugging flags runs on as an ordinary browser; on the
        // user's own profile that is a refusal, elsewhere it just never answered.
        if (!m_answered)
            giveUp(m_ownProfile ? Reason::DebuggingRefused : Reason::NoAnswer);
    });
    connect(&m_profileTimer, &QTimer::timeout, this, [this] {
        if (m_stopping || !profileHolder(m_lockDir)) {
            m_profileTimer.stop();
            if (!m_stopping)
                start();
        }
    });
    m_status.browser = address();
}

ChromiumLauncher::~ChromiumLauncher() {
    blockSignals(true);
    stop();
}

QString ChromiumLauncher::address() const {
    return QStringLiteral("%1:%2").arg(m_options.attachHost).arg(m_options.attachPort);
}

void ChromiumLauncher::setStatus(State state, Reason reason, const QString& detail) {
    BrowserStatus s;
    s.state = state;
    s.reason = reason;
    s.detail = detail;
    s.browser = m_options.attachPort != 0 ? address() : m_name;
    s.ownProfile = m_ownProfile;
    if (s == m_status)
        return;
    m_status = s;
    emit statusChanged();
}

bool ChromiumLauncher::start() {
    m_stopping = false;
    if (m_cdp)
        return true; // connected, or connecting
    m_profileTimer.stop();
    if (!m_options.error.isEmpty()) {
        m_lastError = m_options.error;
        setStatus(State::Stopped, Reason::BadSetting, m_options.error);
        return false;
    }
    if (m_options.attachPort != 0) {
        // While nothing listens, the status keeps saying so between the tries.
        if (m_status.state != State::Stopped ||
            (m_status.reason != Reason::Unreachable && m_status.reason != Reason::ConnectionLost))
            setStatus(State::Starting, Reason::None);
        attach();
        return true;
    }
    return launch();
}

void ChromiumLauncher::wake() {
    if (m_cdp || m_status.state != State::Stopped)
        return;
    switch (m_status.reason) {
    case Reason::Closed:
    case Reason::KeepsCrashing:
    case Reason::NoAnswer:
    case Reason::CannotStart:
    case Reason::NotFound:
    case Reason::ProfileInUse:
        m_quickCrashes = 0;
        start();
        break;
    default:
        break; // the same start would meet the same refusal or setting
    }
}

void ChromiumLauncher::stop() {
    m_stopping = true;
    m_retryTimer.stop();
    m_answerTimer.stop();
    m_profileTimer.stop();
    if (m_cdp)
        m_cdp->close(); // the launched browser ends when its pipe closes
    endProcess();
    if (m_status.state != State::Stopped)
        setStatus(State::Stopped, Reason::Closed);
}

void ChromiumLauncher::endProcess() {
    if (!m_process)
        return;
    m_process->disconnect(this);
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate(); // lets the browser keep the user's session
        if (!m_process->waitForFinished(3000)) {
            m_process->kill();
            m_process->waitForFinished(1000);
        }
    }
    delete m_process;
    m_process = nullptr;
}

bool ChromiumLauncher::launch() {
    QString program = m_options.browser;
    m_ownProfile = false;
    if (program.isEmpty()) {
        for (const char* name : {"chromium", "chromium-browser", "google-chrome-stable"}) {
            program = QStandardPaths::findExecutable(QLatin1String(name));
            if (!program.isEmpty())
                break;
        }
        if (program.isEmpty()) {
            m_name = m_options.productName.isEmpty() ? QStringLiteral("Chromium")
                                                     : m_options.productName;
            m_lastError = QStringLiteral("no chromium on the PATH (set TAVREL_BROWSER)");
            setStatus(State::Stopped, Reason::NotFound, QStringLiteral("chromium"));
            return false;
        }
    } else if (!QFileInfo(program).isExecutable() || QFileInfo(program).isDir()) {
        if (const QString found = QStandardPaths::findExecutable(program); !found.isEmpty()) {
            program = found;
        } else {
            m_name = m_options.productName.isEmpty() ? QFileInfo(program).fileName()
                                                     : m_options.productName;
            m_lastError = QStringLiteral("%1 is not an executable program").arg(program);
            setStatus(State::Stopped, Reason::NotFound, program);
            return false;
        }
    }
    m_name =
        m_options.productName.isEmpty() ? QFileInfo(program).fileName() : m_options.productName;

    QStringList args{QStringLiteral("--remote-debugging-pipe"),
                     QStringLiteral("--disable-popup-blocking"), QStringLiteral("--no-first-run"),
                     QStringLiteral("--no-default-browser-check")};
    // The profile: one given from outside, else the user's usual one (the browser's default,
    // so no flag), else Tavrel's own folder.
    m_lockDir = argumentValue(m_options.arguments, QStringLiteral("--user-data-dir"));
    if (m_lockDir.isEmpty()) {
        if (!m_options.profileDir.isEmpty()) {
            m_lockDir = m_options.profileDir;
        } else if (m_options.ownProfile) {
            m_ownProfile = true;
            m_lockDir = m_options.usualProfileDir;
        } else {
            m_lockDir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                        QStringLiteral("/Tavrel/browser-profile");
        }
        if (!m_ownProfile) {
            QDir().mkpath(m_lockDir);
            args << QStringLiteral("--user-data-dir=") + m_lockDir;
        }
    }
    // Launching onto a profile that a running browser holds would only hand it our command
    // line (and open a window there): wait until the user closes that browser.
    if (m_options.checkProfileLock && profileHolder(m_lockDir)) {
        profileInUse();
        return false;
    }
    // Chromium refuses to start as the root user unless its sandbox is off.
    if (::geteuid() == 0 && !m_options.arguments.contains(QStringLiteral("--no-sandbox")))
        args << QStringLiteral("--no-sandbox");
    args << m_options.arguments;

    int ours = -1, theirs = -1;
    if (!CdpPipeTransport::makePair(ours, theirs)) {
        m_lastError = QStringLiteral("cannot create the browser's pipe");
        setStatus(State::Stopped, Reason::CannotStart, m_lastError);
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
    m_answered = false;
    m_givenUp = false;
    m_handOff = false;
    m_output.clear();
    setStatus(State::Starting, Reason::None);
    m_process = new QProcess(this);
    m_process->setProgram(program);
    m_process->setArguments(args);
    m_process->setStandardInputFile(QProcess::nullDevice());
    // The output is read for what the browser says about its profile.
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    connect(m_process, &QProcess::readyReadStandardOutput, this, &ChromiumLauncher::onOutput);
    m_process->setChildProcessModifier([theirs] {
        ::dup2(theirs, 3);
        ::dup2(theirs, 4);
    });
    connect(m_process, &QProcess::finished, this, &ChromiumLauncher::onProcessFinished);
    m_process->start();
    ::close(theirs);
    if (!m_process->waitForStarted(5000)) {
        m_lastError = QStringLiteral("cannot start %1: %2").arg(program, m_process->errorString());
        setStatus(State::Stopped, Reason::CannotStart, m_process->errorString());
        ::close(ours);
        m_process->disconnect(this);
        m_process->deleteLater();
        m_process = nullptr;
        return false;
    }
    m_launchedAt.start();
    qCInfo(platform::lcBrowser, "launched %s %s", qPrintable(program), qPrintable(args.join(u' ')));
    m_answerTimer.start(m_options.answerMs);
    adopt(new CdpConnection(new CdpPipeTransport(ours)));
    return true;
}

void ChromiumLauncher::attach() {
    qCInfo(platform::lcBrowser, "attaching to %s port %u", qPrintable(m_options.attachHost),
           unsigned(m_options.attachPort));
    m_answered = false;
    m_givenUp = false;
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
    // The channel is open; the browser is watched once it answers.
    const quint64 generation = m_generation;
    m_cdp->send(QStringLiteral("Browser.getVersion"), {}, {},
                [this, generation](const CdpReply& reply) {
                    if (generation == m_generation && reply.ok && !m_givenUp)
                        onAnswered();
                });
}

void ChromiumLauncher::onAnswered() {
    m_answered = true;
    m_answerTimer.stop();
    m_lastError.clear();
    setStatus(State::Watching, Reason::None);
    emit opened();
}

void ChromiumLauncher::onOutput() {
    if (!m_process)
        return;
    const QByteArray chunk = m_process->readAllStandardOutput();
    // The browser's own output reaches Tavrel's terminal only when asked for
    // (QT_LOGGING_RULES="tavrel.browser.output.debug=true").
    if (platform::lcBrowserOutput().isDebugEnabled())
        for (const QByteArray& line : chunk.split('\n'))
            if (!line.isEmpty())
                qCDebug(platform::lcBrowserOutput, "%s", line.constData());
    m_output += chunk;
    for (const QByteArray& words : kHandOffWords)
        if (m_output.contains(words))
            m_handOff = true;
    if (!m_answered && m_output.contains(kRefusalWords))
        return giveUp(Reason::DebuggingRefused);
    if (m_output.size() > kOutputKept)
        m_output.remove(0, m_output.size() - kOutputKept / 2);
}

void ChromiumLauncher::giveUp(Reason reason, const QString& detail) {
    m_givenUp = true;
    m_answerTimer.stop();
    m_retryTimer.stop();
    const bool wasStopping = m_stopping;
    m_stopping = true; // no restart from the connection's end
    if (m_cdp)
        m_cdp->close();
    endProcess();
    m_stopping = wasStopping;
    m_lastError = QStringLiteral("the browser was not watched");
    setStatus(State::Stopped, reason, detail);
}

void ChromiumLauncher::profileInUse() {
    m_lastError = QStringLiteral("another browser holds the profile %1").arg(m_lockDir);
    setStatus(State::Stopped, Reason::ProfileInUse, m_lockDir);
    if (!m_lockDir.isEmpty())
        m_profileTimer.start(m_options.profileCheckMs);
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
    m_answerTimer.stop();
    emit closed();
    if (m_stopping)
        return;
    if (m_options.attachPort != 0) {
        // Lost stays lost until the browser is back, however many tries fail meanwhile.
        const bool lost = m_answered || (m_status.state == State::Stopped &&
                                         m_status.reason == Reason::ConnectionLost);
        setStatus(State::Stopped, lost ? Reason::ConnectionLost : Reason::Unreachable, address());
        m_retryTimer.start(m_options.retryMs);
    }
    // A launched browser: its process's end says what happened (onProcessFinished).
}

void ChromiumLauncher::onProcessFinished(int exitCode, QProcess::ExitStatus status) {
    onOutput();
    const bool crashed = status == QProcess::CrashExit || exitCode != 0;
    const bool quick = m_launchedAt.isValid() && m_launchedAt.elapsed() < kQuickCrashMs;
    const bool answered = m_answered;
    onGone(crashed ? QStringLiteral("the browser crashed") : QStringLiteral("the browser ended"));
    if (m_process) {
        m_process->deleteLater();
        m_process = nullptr;
    }
    if (m_stopping || m_givenUp)
        return;
    // Ended before it ever answered: it handed our command line to the browser that holds
    // the profile (it says so, or the profile is held), or it could not run at all.
    if (!answered && (m_handOff || profileHolder(m_lockDir)))
        return profileInUse();
    if (!answered && !crashed) {
        m_lastError = QStringLiteral("the browser ended at once");
        setStatus(State::Stopped, Reason::CannotStart, QStringLiteral("exit 0"));
        return;
    }
    if (!crashed) {
        setStatus(State::Stopped, Reason::Closed);
        return; // closed by the user: it stays closed until `wake`
    }
    m_quickCrashes = quick ? m_quickCrashes + 1 : 0;
    if (m_quickCrashes >= kMaxQuickCrashes) {
        qCWarning(platform::lcBrowser,
                  "the browser keeps crashing at start; not starting it again");
        setStatus(State::Stopped, Reason::KeepsCrashing);
        return;
    }
    setStatus(State::Stopped, Reason::Crashed);
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

std::optional<qint64> ChromiumLauncher::profileHolder(const QString& profileDir) {
    if (profileDir.isEmpty())
        return std::nullopt;
    // A running browser keeps a link named SingletonLock to "host-pid" in its profile folder.
    const QFileInfo link(profileDir + QStringLiteral("/SingletonLock"));
    if (!link.isSymLink())
        return std::nullopt;
    const QString name = QFileInfo(link.symLinkTarget()).fileName();
    const qsizetype dash = name.lastIndexOf(u'-');
    bool ok = false;
    const qint64 pid = dash > 0 ? name.mid(dash + 1).toLongLong(&ok) : 0;
    if (!ok || pid <= 0)
        return std::nullopt;
    if (name.left(dash) != QSysInfo::machineHostName())
        return -1; // held from another machine sharing this folder: the browser refuses it too
    if (::kill(pid_t(pid), 0) == 0 || errno == EPERM)
        return pid;
    return std::nullopt; // left behind by a browser that is gone
}

} // namespace platform::linuxp
