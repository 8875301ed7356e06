#include "platform/linux/FirefoxLauncher.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
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
// The first line of the user.js that Tavrel writes; another one is never replaced.
constexpr char kPrefsMarker[] = "// Written by Tavrel";

bool namesProfile(const QString& argument) {
    return argument == u"--profile" || argument == u"-profile" || argument == u"-P" ||
           argument == u"--P" || argument.startsWith(u"--profile=");
}

} // namespace

QByteArray FirefoxLauncher::profilePreferences() {
    return QByteArray(kPrefsMarker) +
           "; rewritten at each launch.\n"
           // Tavrel's rules decide which pop-ups open, not Firefox's own blocker.
           "user_pref(\"dom.disable_open_during_load\", false);\n"
           // No first-run pages, default-browser question or data-reporting notice.
           "user_pref(\"browser.shell.checkDefaultBrowser\", false);\n"
           "user_pref(\"browser.startup.homepage_override.mstone\", \"ignore\");\n"
           "user_pref(\"browser.aboutwelcome.enabled\", false);\n"
           "user_pref(\"datareporting.policy.dataSubmissionEnabled\", false);\n"
           "user_pref(\"toolkit.telemetry.reportingpolicy.firstRun\", false);\n"
           // After a crash Tavrel starts the browser again: the pop-ups of before stay closed.
           "user_pref(\"browser.sessionstore.resume_from_crash\", false);\n";
}

FirefoxLauncher::FirefoxLauncher(const FirefoxOptions& options, QObject* parent)
    : QObject(parent), m_options(options) {
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, [this] {
        if (!m_bidi && !m_process && !m_stopping)
            start();
    });
    m_startTimer.setSingleShot(true);
    connect(&m_startTimer, &QTimer::timeout, this, [this] {
        if (m_bidi || !m_process)
            return;
        m_lastError = QStringLiteral("Firefox did not open its debugging port");
        m_process->kill(); // onProcessFinished follows
    });
}

FirefoxLauncher::~FirefoxLauncher() {
    blockSignals(true);
    stop();
}

bool FirefoxLauncher::start() {
    m_stopping = false;
    if (m_bidi || m_process)
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

void FirefoxLauncher::stop() {
    m_stopping = true;
    m_retryTimer.stop();
    m_startTimer.stop();
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
}

bool FirefoxLauncher::launch() {
    QString program = m_options.browser;
    if (program.isEmpty()) {
        for (const char* name : {"firefox-esr", "firefox"}) {
            program = QStandardPaths::findExecutable(QLatin1String(name));
            if (!program.isEmpty())
                break;
        }
        if (program.isEmpty()) {
            m_lastError =
                QStringLiteral("no firefox-esr or firefox on the PATH (set TAVREL_BROWSER)");
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

    // Port 0: Firefox listens on a port it finds free and says which.
    QStringList args{QStringLiteral("--remote-debugging-port"), QStringLiteral("0"),
                     QStringLiteral("--no-remote")};
    if (std::none_of(m_options.arguments.begin(), m_options.arguments.end(), namesProfile)) {
        QString profile = m_options.profileDir;
        if (profile.isEmpty())
            profile = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                      QStringLiteral("/Tavrel/firefox-profile");
        QDir().mkpath(profile);
        // The preferences go into a user.js that Tavrel wrote, or into none: a user.js of
        // somebody else's is left as it is.
        const QString userJs = profile + QStringLiteral("/user.js");
        QFile existing(userJs);
        if (!existing.exists() ||
            (existing.open(QIODevice::ReadOnly) && existing.readLine().startsWith(kPrefsMarker))) {
            existing.close();
            QSaveFile file(userJs);
            if (!file.open(QIODevice::WriteOnly) || file.write(profilePreferences()) < 0 ||
                !file.commit())
                qWarning("Tavrel: cannot write %s; Firefox's pop-up blocker stays as it is",
                         qPrintable(userJs));
        }
        args << QStringLiteral("--profile") << profile;
    }
    args << m_options.arguments;

    dropProcess();
    m_output.clear();
    m_lastError.clear();
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
    static const QRegularExpression listening(
        QStringLiteral("WebDriver BiDi listening on ws://([^\\s/]+):(\\d+)"));
    const QRegularExpressionMatch match = listening.match(QString::fromUtf8(m_output));
    if (match.hasMatch()) {
        m_output.clear();
        m_startTimer.stop();
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
    m_bidi->send(QStringLiteral("session.new"),
                 QJsonObject{{QStringLiteral("capabilities"), capabilities}},
                 [this, generation](const BidiReply& reply) {
                     if (generation != m_generation || !m_bidi)
                         return;
                     if (!reply.ok) {
                         const QString why =
                             reply.error.contains(u"Maximum number of active sessions")
                                 ? QStringLiteral("another program is driving this Firefox")
                                 : QStringLiteral("Firefox refused the session: ") + reply.error;
                         m_bidi->close();
                         m_lastError = why; // after the close, which says less
                         return;
                     }
                     m_sessionOpen = true;
                     m_lastError.clear();
                     m_quickCrashes = 0;
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
    if (m_stopping)
        return;
    if (m_options.attachPort != 0)
        m_retryTimer.start(m_options.retryMs);
    // A launched browser is started again when it crashed (onProcessFinished); one that the
    // user closed stays closed until `start`.
}

void FirefoxLauncher::onProcessFinished(int exitCode, QProcess::ExitStatus status) {
    const bool crashed = status == QProcess::CrashExit || exitCode != 0;
    const bool quick = m_launchedAt.isValid() && m_launchedAt.elapsed() < kQuickCrashMs;
    m_startTimer.stop();
    if (!m_bidi && m_lastError.isEmpty())
        m_lastError = QStringLiteral("Firefox ended before opening its debugging port");
    onGone(crashed ? QStringLiteral("the browser crashed") : QStringLiteral("the browser ended"));
    if (m_process) {
        m_process->deleteLater();
        m_process = nullptr;
    }
    if (m_stopping || !crashed)
        return;
    m_quickCrashes = quick ? m_quickCrashes + 1 : 0;
    if (m_quickCrashes >= kMaxQuickCrashes) {
        qWarning("Tavrel: Firefox keeps crashing at start; not starting it again");
        return;
    }
    m_retryTimer.start(m_options.retryMs);
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
