#include "platform/linux/FirefoxLauncher.h"

#include "platform/linux/FirefoxProfiles.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cstdio>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace platform::linuxp {

namespace {

// Launched browsers that crash within this long of their start count as failing to start.
constexpr qint64 kQuickCrashMs = 10000;
constexpr int kMaxQuickCrashes = 5;
// A launched browser gets this long to end after it was asked to; an attached one this long
// to end our session.
constexpr int kCloseWaitMs = 5000;
constexpr int kSessionEndWaitMs = 2000;

} // namespace

FirefoxLauncher::FirefoxLauncher(const FirefoxOptions& options, QObject* parent)
    : QObject(parent), m_options(options) {
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, [this] {
        if (!m_bidi && !m_process && !m_stopping)
            start();
    });
    m_startTimer.setSingleShot(true);
    connect(&m_startTimer, &QTimer::timeout, this, &FirefoxLauncher::onStartTimeout);
    connect(&m_profileTimer, &QTimer::timeout, this, [this] {
        if (m_stopping || !FirefoxProfiles::lockHolder(m_lockDir)) {
            m_profileTimer.stop();
            if (!m_stopping)
                start();
        }
    });
    m_name = m_options.productName.isEmpty() ? QStringLiteral("Firefox") : m_options.productName;
    m_status.browser = m_options.attachPort != 0 ? address() : m_name;
}

FirefoxLauncher::~FirefoxLauncher() {
    blockSignals(true);
    stop();
}

QString FirefoxLauncher::address() const {
    return QStringLiteral("%1:%2").arg(m_options.attachHost).arg(m_options.attachPort);
}

void FirefoxLauncher::setStatus(BrowserStatus::State state, BrowserStatus::Reason reason,
                                const QString& detail) {
    BrowserStatus s;
    s.state = state;
    s.reason = reason;
    s.detail = detail;
    s.browser = m_options.attachPort != 0 ? address() : m_name;
    s.ownProfile = m_ownProfile;
    s.browserBlocksPopups = m_blocksPopups && state == BrowserStatus::State::Watching;
    if (s == m_status)
        return;
    m_status = s;
    emit statusChanged();
}

bool FirefoxLauncher::start() {
    m_stopping = false;
    if (m_bidi || m_process)
        return true; // connected, or connecting
    m_profileTimer.stop();
    if (!m_options.error.isEmpty()) {
        m_lastError = m_options.error;
        setStatus(BrowserStatus::State::Stopped, BrowserStatus::Reason::BadSetting,
                  m_options.error);
        return false;
    }
    if (m_options.attachPort != 0) {
        // While the browser cannot be had, the status keeps saying why between the tries.
        if (m_status.state != BrowserStatus::State::Stopped)
            setStatus(BrowserStatus::State::Starting);
        attach();
        return true;
    }
    return launch();
}

void FirefoxLauncher::wake() {
    using R = BrowserStatus::Reason;
    if (m_bidi || m_process || m_status.state != BrowserStatus::State::Stopped)
        return;
    switch (m_status.reason) {
    case R::Closed:
    case R::KeepsCrashing:
    case R::NoAnswer:
    case R::CannotStart:
    case R::NotFound:
    case R::ProfileInUse:
    case R::ChangesProfile: // the user may have changed the profile meanwhile
        m_quickCrashes = 0;
        start();
        break;
    default:
        break; // the same start would meet the same setting, or is tried again already
    }
}

void FirefoxLauncher::stop() {
    m_stopping = true;
    m_retryTimer.stop();
    m_startTimer.stop();
    m_profileTimer.stop();
    if (connected() && m_process) {
        // A launched browser is closed (waited for below).
        m_bidi->send(QStringLiteral("browser.close"));
    } else if (connected()) {
        // An attached one keeps running, without our session. Firefox keeps a session whose
        // connection closed without ending it, and then accepts no other until it restarts:
        // the end is waited for, briefly.
        const QSignalBlocker quiet(this);
        bool ended = false;
        QEventLoop loop;
        m_bidi->send(QStringLiteral("session.end"), {}, [&](const BidiReply&) {
            ended = true;
            loop.quit();
        });
        QTimer::singleShot(kSessionEndWaitMs, &loop, &QEventLoop::quit);
        if (!ended)
            loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (m_process) {
        m_process->disconnect(this);
        if (m_process->state() != QProcess::NotRunning &&
            !m_process->waitForFinished(m_bidi ? kCloseWaitMs : 0)) {
            m_process->terminate();
            if (!m_process->waitForFinished(2000)) {
                m_process->kill();
                m_process->waitForFinished(1000);
            }
        }
        delete m_process;
        m_process = nullptr;
    }
    if (m_bidi)
        onGone(QStringLiteral("stopped"));
    if (m_status.state != BrowserStatus::State::Stopped)
        setStatus(BrowserStatus::State::Stopped, BrowserStatus::Reason::Closed);
}

bool FirefoxLauncher::launch() {
    using R = BrowserStatus::Reason;
    QString program = m_options.browser;
    m_name = m_options.productName.isEmpty() ? QStringLiteral("Firefox") : m_options.productName;
    m_ownProfile = m_blocksPopups = false;
    if (program.isEmpty()) {
        for (const char* name : {"firefox-esr", "firefox"}) {
            program = QStandardPaths::findExecutable(QLatin1String(name));
            if (!program.isEmpty())
                break;
        }
        if (program.isEmpty()) {
            m_lastError =
                QStringLiteral("no firefox-esr or firefox on the PATH (set TAVREL_BROWSER)");
            setStatus(BrowserStatus::State::Stopped, R::NotFound, QStringLiteral("firefox-esr"));
            return false;
        }
    } else if (!QFileInfo(program).isExecutable() || QFileInfo(program).isDir()) {
        if (const QString found = QStandardPaths::findExecutable(program); !found.isEmpty()) {
            program = found;
        } else {
            m_lastError = QStringLiteral("%1 is not an executable program").arg(program);
            setStatus(BrowserStatus::State::Stopped, R::NotFound, program);
            return false;
        }
    }

    // Port 0: Firefox listens on a port it finds free and says which. Without --no-remote,
    // a `firefox` started later on the same profile (a link from another program, the
    // settings page) hands its addresses to the watched browser instead of asking the user
    // to close it.
    QStringList args{QStringLiteral("--remote-debugging-port"), QStringLiteral("0")};
    if (!chooseProfile(args))
        return false;
    // Launching onto a profile that a running Firefox holds would only ask the user to close
    // that one (or, with windows, hand it our addresses): wait until the user does.
    if (m_options.checkProfileLock && FirefoxProfiles::lockHolder(m_lockDir)) {
        profileInUse();
        return false;
    }
    args << m_options.arguments;

    dropProcess();
    m_output.clear();
    m_lastError.clear();
    m_answered = m_givenUp = m_handOff = false;
    setStatus(BrowserStatus::State::Starting);
    m_process = new QProcess(this);
    m_process->setProgram(program);
    m_process->setArguments(args);
    m_process->setStandardInputFile(QProcess::nullDevice());
    // The browser ends with Tavrel, however Tavrel ends: a Firefox left running would keep the
    // profile, and the session of a connection that closed, to itself.
    const pid_t tavrel = ::getpid();
    m_process->setChildProcessModifier([tavrel] {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != tavrel)
            ::_exit(1);
    });
    // The output is read for the debugging port's address, and shown only when asked.
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    connect(m_process, &QProcess::readyReadStandardOutput, this, &FirefoxLauncher::onOutput);
    connect(m_process, &QProcess::finished, this, &FirefoxLauncher::onProcessFinished);
    m_process->start();
    if (!m_process->waitForStarted(5000)) {
        m_lastError = QStringLiteral("cannot start %1: %2").arg(program, m_process->errorString());
        setStatus(BrowserStatus::State::Stopped, R::CannotStart, m_process->errorString());
        dropProcess();
        return false;
    }
    m_launchedAt.start();
    m_startTimer.start(m_options.startTimeoutMs);
    return true;
}

void FirefoxLauncher::dropProcess() {
    if (!m_process)
        return;
    // The browser that went away may still be ending: let it go quietly.
    m_process->disconnect(this);
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(1000);
    }
    m_process->deleteLater();
    m_process = nullptr;
}

void FirefoxLauncher::onOutput() {
    if (!m_process)
        return;
    const QByteArray chunk = m_process->readAllStandardOutput();
    if (qEnvironmentVariableIsSet("TAVREL_BROWSER_LOG")) {
        std::fwrite(chunk.constData(), 1, size_t(chunk.size()), stderr);
        std::fflush(stderr);
    }
    if (m_bidi)
        return; // the address is known; the rest is the browser's own business
    m_output += chunk;
    if (m_output.contains(profileInUseWords()))
        m_handOff = true;
    static const QRegularExpression listening(
        QStringLiteral("WebDriver BiDi listening on ws://([^\\s/]+):(\\d+)"));
    const QRegularExpressionMatch match = listening.match(QString::fromUtf8(m_output));
    if (match.hasMatch()) {
        m_output.clear();
        connectTo(match.captured(1), quint16(match.captured(2).toUInt()));
        return;
    }
    // Only the last, unfinished line can still hold the address.
    if (const qsizetype end = m_output.lastIndexOf('\n'); end >= 0)
        m_output.remove(0, end + 1);
    if (m_output.size() > 4096)
        m_output.clear();
}

void FirefoxLauncher::attach() {
    m_lastError.clear();
    m_answered = m_givenUp = m_sessionRefused = false;
    connectTo(m_options.attachHost, m_options.attachPort);
}

void FirefoxLauncher::connectTo(const QString& host, quint16 port) {
    m_sessionOpen = false;
    m_bidi = new BidiConnection(m_options.popupGuard, this);
    connect(m_bidi, &BidiConnection::opened, this, &FirefoxLauncher::onSocketOpened);
    connect(m_bidi, &BidiConnection::closed, this, &FirefoxLauncher::onGone);
    connect(m_bidi, &BidiConnection::event, this, [this](const QString& m, const QJsonObject& p) {
        if (m_sessionOpen)
            emit event(m, p);
    });
    const QString shown = host.contains(u':') ? u'[' + host + u']' : host;
    m_bidi->open(QUrl(QStringLiteral("ws://%1:%2/session").arg(shown).arg(port)));
}

void FirefoxLauncher::onSocketOpened() {
    const quint64 generation = m_generation;
    // Prompts (alert, confirm, leave-page questions) stay for the user to answer.
    const QJsonObject capabilities{
        {QStringLiteral("alwaysMatch"),
         QJsonObject{{QStringLiteral("unhandledPromptBehavior"),
                      QJsonObject{{QStringLiteral("default"), QStringLiteral("ignore")}}}}}};
    m_bidi->send(
        QStringLiteral("session.new"), QJsonObject{{QStringLiteral("capabilities"), capabilities}},
        [this, generation](const BidiReply& reply) {
            if (generation != m_generation || !m_bidi)
                return;
            if (!reply.ok) {
                const bool taken = reply.error.contains(u"Maximum number of active sessions");
                const QString why =
                    taken ? QStringLiteral("another program is driving this Firefox")
                          : QStringLiteral("Firefox refused the session: ") + reply.error;
                m_sessionRefused = taken;
                m_bidi->close();
                m_lastError = why; // after the close, which says less
                return;
            }
            m_sessionOpen = true;
            m_answered = true;
            m_startTimer.stop();
            m_lastError.clear();
            m_quickCrashes = 0;
            setStatus(BrowserStatus::State::Watching);
            emit opened();
        });
}

void FirefoxLauncher::onGone(const QString& reason) {
    BidiConnection* old = m_bidi;
    if (!old)
        return;
    ++m_generation;
    const bool hadSession = m_sessionOpen;
    m_bidi = nullptr;
    m_sessionOpen = false;
    old->disconnect(this);
    old->close();
    old->deleteLater();
    if (hadSession || m_lastError.isEmpty())
        m_lastError = reason;
    emit closed();
    if (m_stopping || m_givenUp)
        return;
    if (m_options.attachPort != 0) {
        // Lost stays lost until the browser is back, however many tries fail meanwhile; a
        // browser whose one session is someone else's is said to be so.
        using R = BrowserStatus::Reason;
        const bool lost = hadSession || (m_status.state == BrowserStatus::State::Stopped &&
                                         m_status.reason == R::ConnectionLost);
        const R why = lost               ? R::ConnectionLost
                      : m_sessionRefused ? R::SessionTaken
                                         : R::Unreachable;
        m_sessionRefused = false;
        setStatus(BrowserStatus::State::Stopped, why, address());
        m_retryTimer.start(m_options.retryMs);
    }
    // A launched browser: its process's end says what happened (onProcessFinished).
}

void FirefoxLauncher::onProcessFinished(int exitCode, QProcess::ExitStatus status) {
    using R = BrowserStatus::Reason;
    onOutput();
    const bool crashed = status == QProcess::CrashExit || exitCode != 0;
    const bool quick = m_launchedAt.isValid() && m_launchedAt.elapsed() < kQuickCrashMs;
    const bool answered = m_answered;
    m_startTimer.stop();
    if (!m_bidi && m_lastError.isEmpty())
        m_lastError = QStringLiteral("Firefox ended before opening its debugging port");
    onGone(crashed ? QStringLiteral("the browser crashed") : QStringLiteral("the browser ended"));
    if (m_process) {
        m_process->deleteLater();
        m_process = nullptr;
    }
    if (m_stopping || m_givenUp)
        return;
    // Ended before it was ever watched: another Firefox holds the profile (it said so, or
    // the profile is held), or it could not run at all.
    if (!answered && (m_handOff || FirefoxProfiles::lockHolder(m_lockDir)))
        return profileInUse();
    if (!answered && !crashed) {
        setStatus(BrowserStatus::State::Stopped, R::CannotStart, QStringLiteral("exit 0"));
        return;
    }
    if (!crashed) {
        setStatus(BrowserStatus::State::Stopped, R::Closed);
        return; // closed by the user: it stays closed until `wake`
    }
    m_quickCrashes = quick ? m_quickCrashes + 1 : 0;
    if (m_quickCrashes >= kMaxQuickCrashes) {
        qWarning("Tavrel: Firefox keeps crashing at start; not starting it again");
        setStatus(BrowserStatus::State::Stopped, R::KeepsCrashing);
        return;
    }
    setStatus(BrowserStatus::State::Stopped, R::Crashed);
    m_retryTimer.start(m_options.retryMs);
}

void FirefoxLauncher::onStartTimeout() {
    if (!m_process || m_sessionOpen)
        return;
    // With windows, a Firefox whose profile another one holds asks the user to close that
    // one, and waits: that is the profile in use, not a browser that never answers.
    if (m_handOff || heldByAnother()) {
        giveUp(BrowserStatus::Reason::ProfileInUse, m_lockDir);
        profileInUse();
        return;
    }
    giveUp(BrowserStatus::Reason::NoAnswer);
    m_lastError = QStringLiteral("Firefox did not open its debugging port");
}

bool FirefoxLauncher::heldByAnother() const {
    const std::optional<qint64> holder = FirefoxProfiles::lockHolder(m_lockDir);
    return holder && (*holder < 0 || *holder != browserPid());
}

void FirefoxLauncher::giveUp(BrowserStatus::Reason reason, const QString& detail) {
    m_givenUp = true;
    m_startTimer.stop();
    m_retryTimer.stop();
    if (m_bidi)
        m_bidi->close();
    dropProcess();
    m_lastError = QStringLiteral("the browser was not watched");
    setStatus(BrowserStatus::State::Stopped, reason, detail);
}

void FirefoxLauncher::profileInUse() {
    m_lastError = QStringLiteral("another Firefox holds the profile %1").arg(m_lockDir);
    setStatus(BrowserStatus::State::Stopped, BrowserStatus::Reason::ProfileInUse, m_lockDir);
    if (!m_lockDir.isEmpty())
        m_profileTimer.start(m_options.profileCheckMs);
}

qint64 FirefoxLauncher::browserPid() const {
    return m_process ? m_process->processId() : 0;
}

qint64 FirefoxLauncher::send(const QString& method, const QJsonObject& params,
                             BidiCallback callback, bool holdsPopups) {
    if (!connected()) {
        if (callback)
            QTimer::singleShot(0, this, [callback] {
                callback({false, {}, QStringLiteral("no browser connection")});
            });
        return -1;
    }
    return m_bidi->send(method, params, std::move(callback), holdsPopups);
}

} // namespace platform::linuxp
