#include "platform/linux/ChromiumBrowser.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <algorithm>
#include <set>

#include <unistd.h>

namespace platform::linuxp {

namespace {

QString str(const QJsonObject& o, const char* key) {
    return o.value(QLatin1String(key)).toString();
}

QJsonObject obj(std::initializer_list<QPair<QString, QJsonValue>> fields) {
    QJsonObject o;
    for (const auto& [k, v] : fields)
        o.insert(k, v);
    return o;
}

bool isLoopback(const QString& host) {
    return host == u"127.0.0.1" || host == u"localhost" || host == u"::1";
}

// A pop-up may arrive without naming its opener (rel=noopener); the opener's own report of
// the request, this recent, stands in.
constexpr qint64 kWindowOpenMatchMs = 1000;
// A page target the adapter has not seen attach for this long is attached explicitly.
constexpr qint64 kAdoptAfterMs = 1000;
// A round of the snapshot refresh still unanswered after this long no longer holds back
// the next one.
constexpr qint64 kRoundStaleMs = 2000;
// Launched browsers that crash within this long of their start count as failing to start.
constexpr qint64 kQuickCrashMs = 10000;
constexpr int kMaxQuickCrashes = 5;

} // namespace

// --- Options -----------------------------------------------------------------------------------

ChromiumOptions ChromiumOptions::fromEnvironment() {
    ChromiumOptions o;
    o.browser = qEnvironmentVariable("TAVREL_BROWSER");
    o.arguments = QProcess::splitCommand(qEnvironmentVariable("TAVREL_BROWSER_ARGS"));
    o.profileDir = qEnvironmentVariable("TAVREL_BROWSER_PROFILE");
    o.useX11 = qEnvironmentVariable("TAVREL_KEY_STATE") != u"page";
    const QString attach = qEnvironmentVariable("TAVREL_ATTACH").trimmed();
    if (!attach.isEmpty()) {
        QString host = QStringLiteral("127.0.0.1");
        QString port = attach;
        if (const qsizetype colon = attach.lastIndexOf(u':'); colon >= 0) {
            host = attach.left(colon);
            port = attach.mid(colon + 1);
            if (host.startsWith(u'[') && host.endsWith(u']'))
                host = host.mid(1, host.size() - 2);
        }
        bool ok = false;
        const uint number = port.toUInt(&ok);
        if (!ok || number == 0 || number > 65535)
            o.error = QStringLiteral("TAVREL_ATTACH: \"%1\" is not host:port").arg(attach);
        else if (!isLoopback(host))
            // The debugging port speaks plain text and grants full control of the browser:
            // it is only ever reached on this machine.
            o.error = QStringLiteral("TAVREL_ATTACH: %1 is not a loopback address").arg(host);
        else {
            o.attachHost = host;
            o.attachPort = quint16(number);
        }
    }
    return o;
}

// --- Window ------------------------------------------------------------------------------------

ChromiumWindow::ChromiumWindow(ChromiumBrowser& browser, WindowHandle handle, QString targetId)
    : m_browser(browser), m_handle(handle), m_targetId(std::move(targetId)) {}

std::optional<QString> ChromiumWindow::locationName() const {
    if (m_gone)
        return std::nullopt;
    return m_title;
}

std::optional<QString> ChromiumWindow::locationURL() const {
    if (m_gone)
        return std::nullopt;
    return m_url;
}

std::optional<int> ChromiumWindow::width() const {
    return m_gone ? std::nullopt : m_width;
}

std::optional<int> ChromiumWindow::height() const {
    return m_gone ? std::nullopt : m_height;
}

bool ChromiumWindow::hasDocument() const {
    return !m_gone && m_scriptReady && !m_sessionId.isEmpty();
}

// --- Browser: start and end --------------------------------------------------------------------

ChromiumBrowser::ChromiumBrowser(QObject* parent)
    : ChromiumBrowser(ChromiumOptions::fromEnvironment(), parent) {
    m_autoStart = true;
    QTimer::singleShot(0, this, [this] {
        if (m_autoStart && !start())
            qWarning("Tavrel: no browser: %s", qPrintable(m_lastError));
    });
}

ChromiumBrowser::ChromiumBrowser(ChromiumOptions options, QObject* parent)
    : BrowserShell(parent), m_options(std::move(options)), m_keys(m_options.useX11) {
    m_clock.start();
    QByteArray nonce(8, Qt::Uninitialized);
    for (char& c : nonce)
        c = char(QRandomGenerator::global()->bounded(256));
    m_bindingName = QStringLiteral("__tavrel_") + QString::fromLatin1(nonce.toHex());
    m_pollTimer.setInterval(m_options.pollMs);
    connect(&m_pollTimer, &QTimer::timeout, this, &ChromiumBrowser::poll);
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, [this] {
        if (!connected() && !m_stopping)
            start();
    });
}

ChromiumBrowser::~ChromiumBrowser() {
    blockSignals(true);
    for (auto& [id, w] : m_windows)
        w->blockSignals(true);
    stop();
}

bool ChromiumBrowser::connected() const {
    return m_cdp && m_cdp->isOpen();
}

bool ChromiumBrowser::start() {
    m_autoStart = false;
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

void ChromiumBrowser::stop() {
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

bool ChromiumBrowser::launch() {
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
    if (!qEnvironmentVariableIsSet("TAVREL_BROWSER_LOG")) {
        m_process->setStandardOutputFile(QProcess::nullDevice());
        m_process->setStandardErrorFile(QProcess::nullDevice());
    } else {
        m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    }
    m_process->setChildProcessModifier([theirs] {
        ::dup2(theirs, 3);
        ::dup2(theirs, 4);
    });
    connect(m_process, &QProcess::finished, this, &ChromiumBrowser::onProcessFinished);
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
    adopt(new CdpConnection(new CdpPipeTransport(ours)));
    return true;
}

void ChromiumBrowser::attach() {
    auto* transport = new CdpWebSocketTransport(m_options.attachHost, m_options.attachPort);
    adopt(new CdpConnection(transport));
    transport->open();
}

void ChromiumBrowser::adopt(CdpConnection* connection) {
    connection->setParent(this);
    m_cdp = connection;
    connect(connection, &CdpConnection::event, this, &ChromiumBrowser::onEvent);
    connect(connection, &CdpConnection::closed, this, &ChromiumBrowser::onGone);
    connect(connection, &CdpConnection::opened, this, &ChromiumBrowser::onConnected);
    if (connection->isOpen())
        onConnected();
}

void ChromiumBrowser::onConnected() {
    m_lastError.clear();
    const quint64 generation = m_generation;
    send(QStringLiteral("Target.setDiscoverTargets"),
         obj({{"discover", true}, {"filter", QJsonArray{obj({{"type", "page"}})}}}));
    // Every page that starts from now on waits for us before it runs: the pop-up decision is
    // made while it cannot have requested anything. Pages already open attach running.
    send(QStringLiteral("Target.setAutoAttach"),
         obj({{"autoAttach", true},
              {"waitForDebuggerOnStart", true},
              {"flatten", true},
              {"filter", QJsonArray{obj({{"type", "page"}})}}}),
         {}, [this, generation](const CdpReply& reply) {
             if (generation == m_generation && !reply.ok)
                 qWarning("Tavrel: the browser refused auto-attach: %s", qPrintable(reply.error));
         });
    m_pollTimer.start();
    poll();
    emit connectionChanged(true);
}

void ChromiumBrowser::onGone(const QString& reason) {
    CdpConnection* old = m_cdp;
    if (!old)
        return;
    ++m_generation;
    m_cdp = nullptr;
    old->disconnect(this);
    old->close();
    old->deleteLater();
    m_lastError = reason;
    m_pollTimer.stop();
    m_refusals.clear();
    m_sessionTarget.clear();
    m_recentOpens.clear();
    m_unknownSince.clear();
    m_roundOutstanding = 0;
    // The windows go one by one, as the shell reports each closed window.
    while (!m_order.empty())
        revoke(m_order.back()->targetId());
    m_windows.clear();
    emit connectionChanged(false);
    if (m_stopping)
        return;
    if (m_options.attachPort != 0)
        m_retryTimer.start(m_options.retryMs);
    // A launched browser is started again when it crashed (onProcessFinished); one that the
    // user closed stays closed until `start`.
}

void ChromiumBrowser::onProcessFinished(int exitCode, QProcess::ExitStatus status) {
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
        qWarning("Tavrel: the browser keeps crashing at start; not starting it again");
        return;
    }
    m_retryTimer.start(m_options.retryMs);
}

qint64 ChromiumBrowser::browserPid() const {
    return m_process ? m_process->processId() : 0;
}

qint64 ChromiumBrowser::send(const QString& method, const QJsonObject& params,
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

// --- Lookups -----------------------------------------------------------------------------------

ChromiumWindow* ChromiumBrowser::byTarget(const QString& targetId) const {
    const auto it = m_windows.find(targetId);
    return it == m_windows.end() ? nullptr : it->second.get();
}

ChromiumWindow* ChromiumBrowser::bySession(const QString& sessionId) const {
    const auto it = m_sessionTarget.find(sessionId);
    return it == m_sessionTarget.end() ? nullptr : byTarget(it->second);
}

ChromiumWindow* ChromiumBrowser::byHandle(WindowHandle handle) const {
    for (ChromiumWindow* w : m_order)
        if (w->hwnd() == handle)
            return w;
    return nullptr;
}

QString ChromiumBrowser::sessionOf(WindowHandle handle) const {
    const ChromiumWindow* w = byHandle(handle);
    return w ? w->sessionId() : QString();
}

QString ChromiumBrowser::targetOf(WindowHandle handle) const {
    const ChromiumWindow* w = byHandle(handle);
    return w ? w->targetId() : QString();
}

// --- The shell ---------------------------------------------------------------------------------

QList<BrowserWindow*> ChromiumBrowser::windows() const {
    QList<BrowserWindow*> list;
    list.reserve(qsizetype(m_order.size()));
    for (ChromiumWindow* w : m_order)
        list.append(w);
    return list;
}

bool ChromiumBrowser::postClose(WindowHandle handle) {
    ChromiumWindow* w = byHandle(handle);
    if (!w || !connected())
        return false;
    // The window leaves the list when the browser reports it destroyed.
    send(QStringLiteral("Target.closeTarget"), obj({{"targetId", w->targetId()}}));
    return true;
}

bool ChromiumBrowser::keyDown(Key key) const {
    return m_keys.keyDown(key);
}

QPoint ChromiumBrowser::cursorPosIn(WindowHandle handle) const {
    const ChromiumWindow* w = byHandle(handle);
    if (!w)
        return {};
    if (auto screen = m_keys.pointerOnScreen())
        return *screen - w->m_topLeft;
    return handle == m_lastEventWindow ? m_lastClient : QPoint();
}

// --- Events ------------------------------------------------------------------------------------

void ChromiumBrowser::onEvent(const QString& method, const QJsonObject& params,
                              const QString& sessionId) {
    if (method == u"Target.attachedToTarget")
        return onAttached(params);
    if (method == u"Target.detachedFromTarget")
        return onDetached(params);
    if (method == u"Target.targetDestroyed")
        return onTargetGone(str(params, "targetId"));
    if (method == u"Target.targetInfoChanged")
        return onTargetInfo(params.value(QStringLiteral("targetInfo")).toObject());
    if (method == u"Fetch.requestPaused") {
        const QString requestId = str(params, "requestId");
        const auto target = m_sessionTarget.find(sessionId);
        if (target != m_sessionTarget.end() && m_refusals.count(target->second)) {
            // The refused pop-up's first request: fail it so the address is never fetched.
            send(QStringLiteral("Fetch.failRequest"),
                 obj({{"requestId", requestId}, {"errorReason", "BlockedByClient"}}), sessionId);
            closeRefused(target->second);
        } else {
            send(QStringLiteral("Fetch.continueRequest"), obj({{"requestId", requestId}}),
                 sessionId);
        }
        return;
    }
    if (sessionId.isEmpty())
        return;
    if (ChromiumWindow* w = bySession(sessionId))
        onPageEvent(*w, method, params);
}

ChromiumWindow* ChromiumBrowser::openerOf(const QJsonObject& info) {
    const qint64 now = m_clock.elapsed();
    while (!m_recentOpens.empty() && now - m_recentOpens.front().at > 2 * kWindowOpenMatchMs)
        m_recentOpens.pop_front();
    const QString openerId = str(info, "openerId");
    for (auto it = m_recentOpens.begin(); it != m_recentOpens.end(); ++it)
        if (openerId.isEmpty() ? now - it->at <= kWindowOpenMatchMs
                               : it->openerTarget == openerId) {
            const QString reported = it->openerTarget;
            m_recentOpens.erase(it);
            if (openerId.isEmpty())
                if (ChromiumWindow* w = byTarget(reported); w && w->m_registered)
                    return w;
            break;
        }
    ChromiumWindow* w = openerId.isEmpty() ? nullptr : byTarget(openerId);
    return w && w->m_registered ? w : nullptr;
}

void ChromiumBrowser::onAttached(const QJsonObject& params) {
    const QString sessionId = str(params, "sessionId");
    const QJsonObject info = params.value(QStringLiteral("targetInfo")).toObject();
    const QString targetId = str(info, "targetId");
    const bool waiting = params.value(QStringLiteral("waitingForDebugger")).toBool();
    if (str(info, "type") != u"page") {
        // Nothing but pages is watched; nothing else is left waiting either.
        if (waiting)
            send(QStringLiteral("Runtime.runIfWaitingForDebugger"), {}, sessionId);
        send(QStringLiteral("Target.detachFromTarget"), obj({{"sessionId", sessionId}}));
        return;
    }
    m_sessionTarget[sessionId] = targetId;
    m_unknownSince.erase(targetId);
    if (ChromiumWindow* w = byTarget(targetId)) {
        // Attached again (after a detach): the same window, with its handle.
        w->m_sessionId = sessionId;
        setUpSession(*w);
        if (waiting)
            send(QStringLiteral("Runtime.runIfWaitingForDebugger"), {}, sessionId);
        return;
    }
    if (m_refusals.count(targetId))
        return;
    if (waiting) {
        if (QPointer<ChromiumWindow> opener = openerOf(info)) {
            bool cancel = false;
            const quint64 generation = m_generation;
            const QString openerSession = opener->sessionId();
            emit opener->newWindow2(cancel);
            if (generation != m_generation)
                return; // the browser went away while the rules ran
            if (cancel) {
                refuse(targetId, sessionId, openerSession);
                return;
            }
        }
    }
    admit(targetId, sessionId, info, waiting);
}

void ChromiumBrowser::admit(const QString& targetId, const QString& sessionId,
                            const QJsonObject& info, bool waiting) {
    auto window = std::make_unique<ChromiumWindow>(*this, m_nextHandle++, targetId);
    if (m_nextHandle == 0)
        m_nextHandle = 1;
    ChromiumWindow& w = *window;
    w.m_sessionId = sessionId;
    w.m_title = str(info, "title");
    w.m_url = str(info, "url");
    m_windows[targetId] = std::move(window);
    // Set-up first, then the size, then the window is announced, and only then does the page
    // run: its first document already reports its clicks, and a pop-up that the new page
    // opens at once finds its opener listed, with its size.
    setUpSession(w);
    const quint64 generation = m_generation;
    // Announced once both its size and its click reporting are in place (or, at the latest,
    // when the fallback fires): the program wraps it at once, document events included.
    auto release = [this, generation, targetId, sessionId, waiting](bool force) {
        ChromiumWindow* w = byTarget(targetId);
        if (generation != m_generation || !connected() || !w || w->m_registered)
            return;
        if (!force && !(w->m_boundsAnswered && w->m_scriptAnswered))
            return;
        registerWindow(targetId);
        if (waiting && generation == m_generation)
            send(QStringLiteral("Runtime.runIfWaitingForDebugger"), {}, sessionId);
    };
    w.m_onSetUp = [release] { release(false); };
    send(QStringLiteral("Browser.getWindowForTarget"), obj({{"targetId", targetId}}), {},
         [this, generation, targetId, release](const CdpReply& reply) {
             if (generation != m_generation)
                 return;
             if (ChromiumWindow* w = byTarget(targetId)) {
                 if (reply.ok)
                     applyBounds(*w, reply.result);
                 w->m_boundsAnswered = true;
             }
             release(false);
         });
    // No page stays paused because the browser is slow to answer.
    QTimer::singleShot(m_options.popupFallbackMs, this, [release] { release(true); });
}

void ChromiumBrowser::refuse(const QString& targetId, const QString& sessionId,
                             const QString& openerSession) {
    ++m_refused;
    Refusal& r = m_refusals[targetId];
    r.sessionId = sessionId;
    r.openerSessionId = openerSession;
    r.since.start();
    // Closing a paused pop-up outright can leave an opener that shares its process frozen.
    // Instead its requests are intercepted, it is resumed, and its first request is failed
    // before the target is closed.
    send(QStringLiteral("Fetch.enable"),
         obj({{"patterns", QJsonArray{obj({{"urlPattern", "*"}, {"requestStage", "Request"}})}}}),
         sessionId);
    send(QStringLiteral("Runtime.runIfWaitingForDebugger"), {}, sessionId);
    const quint64 generation = m_generation;
    QTimer::singleShot(m_options.popupFallbackMs, this, [this, generation, targetId] {
        if (generation != m_generation)
            return;
        const auto it = m_refusals.find(targetId);
        if (it == m_refusals.end() || it->second.closeSent)
            return;
        // Nothing was requested (a blank pop-up): close it, and make sure its opener runs.
        ++m_fallbacks;
        const QString opener = it->second.openerSessionId;
        closeRefused(targetId);
        if (!opener.isEmpty())
            send(QStringLiteral("Runtime.runIfWaitingForDebugger"), {}, opener);
    });
}

void ChromiumBrowser::closeRefused(const QString& targetId) {
    const auto it = m_refusals.find(targetId);
    if (it == m_refusals.end() || it->second.closeSent)
        return;
    it->second.closeSent = true;
    send(QStringLiteral("Target.closeTarget"), obj({{"targetId", targetId}}));
}

void ChromiumBrowser::setUpSession(ChromiumWindow& w) {
    const QString sessionId = w.m_sessionId;
    w.m_scriptReady = false;
    send(QStringLiteral("Page.enable"), {}, sessionId);
    send(QStringLiteral("Runtime.enable"), {}, sessionId);
    // A name of its own for each session: attached again, a page's current document gets
    // the new function and listeners of its own beside the old session's dead ones.
    w.m_binding = m_bindingName + u'_' + QString::number(++m_bindingSerial);
    send(QStringLiteral("Runtime.addBinding"), obj({{"name", w.m_binding}}), sessionId);
    const quint64 generation = m_generation;
    const QString targetId = w.targetId();
    send(QStringLiteral("Page.addScriptToEvaluateOnNewDocument"),
         obj({{"source", pageScript(w.m_binding)}, {"runImmediately", true}}), sessionId,
         [this, generation, targetId, sessionId](const CdpReply& reply) {
             if (generation != m_generation)
                 return;
             ChromiumWindow* w = byTarget(targetId);
             if (!w || w->m_sessionId != sessionId)
                 return;
             w->m_scriptReady = reply.ok;
             w->m_scriptAnswered = true;
             if (w->m_onSetUp)
                 std::exchange(w->m_onSetUp, {})();
         });
}

QString ChromiumBrowser::pageScript(const QString& binding) const {
    // Runs before the page's own scripts in every document. It takes the reporting function
    // off the page's global object and keeps it to itself, and reports only events that the
    // user made (isTrusted); what arrives is still checked, as the page could call the
    // function before this script runs in a frame it controls.
    return QStringLiteral(R"JS((() => {
  const name = %1;
  const report = window[name];
  if (typeof report !== 'function') return;
  try { delete window[name]; } catch (e) {}
  const stringify = JSON.stringify;
  const send = (e) => {
    if (!e.isTrusted) return;
    try {
      report(stringify({type: e.type, button: e.button | 0, buttons: e.buttons | 0,
                        ctrlKey: !!e.ctrlKey, shiftKey: !!e.shiftKey, altKey: !!e.altKey,
                        x: Math.round(e.clientX) | 0, y: Math.round(e.clientY) | 0}));
    } catch (x) {}
  };
  for (const t of ['mousedown', 'mouseup', 'contextmenu'])
    window.addEventListener(t, send, true);
})();)JS")
        .arg(QString::fromUtf8(QJsonDocument(QJsonArray{binding}).toJson(QJsonDocument::Compact))
                 .mid(1)
                 .chopped(1));
}

void ChromiumBrowser::registerWindow(const QString& targetId) {
    ChromiumWindow* w = byTarget(targetId);
    if (!w || w->m_registered || w->m_gone)
        return;
    w->m_registered = true;
    w->m_registeredRound = m_round;
    m_order.push_back(w);
    emit windowRegistered();
}

void ChromiumBrowser::revoke(const QString& targetId) {
    const auto it = m_windows.find(targetId);
    if (it == m_windows.end())
        return;
    std::unique_ptr<ChromiumWindow> gone = std::move(it->second);
    m_windows.erase(it);
    if (!gone->m_sessionId.isEmpty())
        m_sessionTarget.erase(gone->m_sessionId);
    gone->m_gone = true;
    if (m_lastEventWindow == gone->hwnd())
        m_lastEventWindow = 0;
    const bool wasRegistered = gone->m_registered;
    std::erase(m_order, gone.get());
    // Listeners may still hold the pointer while the event runs: it goes later.
    gone.release()->deleteLater();
    if (wasRegistered)
        emit windowRevoked();
}

void ChromiumBrowser::onDetached(const QJsonObject& params) {
    const QString sessionId = str(params, "sessionId");
    const auto it = m_sessionTarget.find(sessionId);
    if (it == m_sessionTarget.end())
        return;
    if (ChromiumWindow* w = byTarget(it->second); w && w->m_sessionId == sessionId) {
        w->m_sessionId.clear();
        w->m_scriptReady = false;
    }
    m_sessionTarget.erase(it);
}

void ChromiumBrowser::onTargetGone(const QString& targetId) {
    m_unknownSince.erase(targetId);
    if (const auto it = m_refusals.find(targetId); it != m_refusals.end()) {
        const qint64 ms = it->second.since.elapsed();
        m_sessionTarget.erase(it->second.sessionId);
        m_refusals.erase(it);
        emit popupRefusalDone(targetId, ms);
        return;
    }
    revoke(targetId);
}

void ChromiumBrowser::onTargetInfo(const QJsonObject& info) {
    if (ChromiumWindow* w = byTarget(str(info, "targetId"))) {
        w->m_title = str(info, "title");
        w->m_url = str(info, "url");
    }
}

void ChromiumBrowser::onPageEvent(ChromiumWindow& w, const QString& method,
                                  const QJsonObject& params) {
    if (method == u"Runtime.bindingCalled")
        return onBinding(w, params);
    if (method == u"Page.windowOpen") {
        m_recentOpens.push_back({w.targetId(), m_clock.elapsed()});
        while (m_recentOpens.size() > 64)
            m_recentOpens.pop_front();
        return;
    }
    if (!w.m_registered)
        return;
    QPointer<ChromiumWindow> alive(&w);
    if (method == u"Page.frameNavigated") {
        const QJsonObject frame = params.value(QStringLiteral("frame")).toObject();
        const bool top = !frame.contains(QStringLiteral("parentId"));
        if (top)
            w.m_mainFrameId = str(frame, "id");
        emit w.navigateComplete2(str(frame, "url"), top);
    } else if (method == u"Page.frameRequestedNavigation") {
        if (str(params, "disposition") != u"currentTab")
            return;
        NavigationRequest request;
        request.url = str(params, "url");
        request.topLevel = str(params, "frameId") == w.m_mainFrameId;
        emit w.beforeNavigate2(request);
    } else if (method == u"Page.frameStartedLoading") {
        if (str(params, "frameId") == w.m_mainFrameId)
            emit w.downloadBegin();
    } else if (method == u"Page.frameStoppedLoading") {
        if (str(params, "frameId") != w.m_mainFrameId)
            return;
        emit w.downloadComplete();
        if (alive)
            emit w.documentComplete(w.m_url, true);
    }
}

void ChromiumBrowser::onBinding(ChromiumWindow& w, const QJsonObject& params) {
    if (str(params, "name") != w.m_binding || !w.m_registered)
        return;
    const QJsonValue payload = params.value(QStringLiteral("payload"));
    if (!payload.isString() || payload.toString().size() > 512)
        return;
    const auto report = parseMouseReport(payload.toString().toUtf8());
    if (!report)
        return; // not what our script sends: ignored
    m_keys.noteReport(*report);
    m_lastClient = report->client;
    m_lastEventWindow = w.hwnd();
    switch (report->type) {
    case CdpMouseReport::Type::Down:
        emit w.documentMouseDown();
        break;
    case CdpMouseReport::Type::Up:
        emit w.documentMouseUp();
        break;
    case CdpMouseReport::Type::ContextMenu: {
        // The page's menu has been shown or suppressed by the time the report arrives.
        bool allow = true;
        emit w.documentContextMenu(allow);
        break;
    }
    }
}

// --- The snapshot ------------------------------------------------------------------------------

void ChromiumBrowser::applyBounds(ChromiumWindow& w, const QJsonObject& result) {
    const QJsonObject bounds = result.value(QStringLiteral("bounds")).toObject();
    const QJsonValue width = bounds.value(QStringLiteral("width"));
    const QJsonValue height = bounds.value(QStringLiteral("height"));
    if (width.isDouble())
        w.m_width = width.toInt();
    if (height.isDouble())
        w.m_height = height.toInt();
    w.m_topLeft = QPoint(bounds.value(QStringLiteral("left")).toInt(),
                         bounds.value(QStringLiteral("top")).toInt());
}

void ChromiumBrowser::poll() {
    if (!connected())
        return;
    if (m_roundOutstanding > 0 && m_roundStart.elapsed() < kRoundStaleMs)
        return; // the browser is slow: no pile of unanswered rounds
    const quint64 round = ++m_round;
    const quint64 generation = m_generation;
    m_roundStart.start();
    m_roundOutstanding = 0;
    auto done = [this, round] {
        if (round == m_round && m_roundOutstanding > 0)
            --m_roundOutstanding;
    };
    // All commands of a round are sent together and answered as they come.
    ++m_roundOutstanding;
    send(QStringLiteral("Target.getTargets"),
         obj({{"filter", QJsonArray{obj({{"type", "page"}})}}}), {},
         [this, generation, round, done](const CdpReply& reply) {
             if (generation != m_generation)
                 return;
             done();
             if (reply.ok)
                 applyTargets(reply.result, round);
         });
    for (ChromiumWindow* w : m_order) {
        ++m_roundOutstanding;
        send(QStringLiteral("Browser.getWindowForTarget"), obj({{"targetId", w->targetId()}}), {},
             [this, generation, done, targetId = w->targetId()](const CdpReply& reply) {
                 if (generation != m_generation)
                     return;
                 done();
                 if (ChromiumWindow* w = byTarget(targetId); w && reply.ok)
                     applyBounds(*w, reply.result);
             });
        // A window whose session ended (detached by the browser) is attached again, at
        // most once a second.
        if (w->m_sessionId.isEmpty() &&
            (w->m_attachAskedAt == 0 || m_clock.elapsed() - w->m_attachAskedAt >= kAdoptAfterMs)) {
            w->m_attachAskedAt = m_clock.elapsed();
            send(QStringLiteral("Target.attachToTarget"),
                 obj({{"targetId", w->targetId()}, {"flatten", true}}));
        }
    }
}

void ChromiumBrowser::applyTargets(const QJsonObject& result, quint64 round) {
    const QJsonArray infos = result.value(QStringLiteral("targetInfos")).toArray();
    std::set<QString> listed;
    const qint64 now = m_clock.elapsed();
    for (const QJsonValue& v : infos) {
        const QJsonObject info = v.toObject();
        if (str(info, "type") != u"page")
            continue;
        const QString targetId = str(info, "targetId");
        listed.insert(targetId);
        if (ChromiumWindow* w = byTarget(targetId)) {
            // A title change raises no event: it is only seen here.
            w->m_title = str(info, "title");
            w->m_url = str(info, "url");
        } else if (!m_refusals.count(targetId)) {
            // A page that never attached (auto-attach missed it): attach it ourselves.
            const auto [it, fresh] = m_unknownSince.try_emplace(targetId, now);
            if (!fresh && now - it->second >= kAdoptAfterMs) {
                it->second = now;
                send(QStringLiteral("Target.attachToTarget"),
                     obj({{"targetId", targetId}, {"flatten", true}}));
            }
        }
    }
    for (auto it = m_unknownSince.begin(); it != m_unknownSince.end();)
        it = listed.count(it->first) ? std::next(it) : m_unknownSince.erase(it);
    // A window registered before this round was asked for and no longer listed is gone,
    // even if its end was never reported.
    std::vector<QString> missing;
    for (ChromiumWindow* w : m_order)
        if (w->m_registeredRound < round && !listed.count(w->targetId()))
            missing.push_back(w->targetId());
    for (const QString& targetId : missing)
        revoke(targetId);
}

} // namespace platform::linuxp
