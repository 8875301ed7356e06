#include "platform/linux/DesktopBrowser.h"

#include "platform/linux/ChromiumBrowser.h"
#include "platform/linux/FirefoxBrowser.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>

namespace platform::linuxp {

namespace {

// The kind of a browser fixed from outside: its program's (a Firefox when the environment
// says so, TAVREL_BROWSER_KIND=firefox or a program named like one), none for a program of
// the Chromium family Tavrel does not know by name.
const BrowserKind* kindFixedFromOutside(const QString& program) {
    const BrowserKind* kind = BrowserDiscovery::kindOfProgram(program);
    if (FirefoxOptions::requested(program))
        return BrowserDiscovery::kind(QStringLiteral("firefox"));
    if (kind && kind->engine == BrowserEngine::Bidi)
        return nullptr; // TAVREL_BROWSER_KIND=chromium
    return kind;
}

// Firefox's options from the same base as the Chromium family's: the program, its name, the
// profile, the flags and the attach address mean the same; Firefox starts more slowly.
FirefoxOptions firefoxOptions(const ChromiumOptions& o) {
    FirefoxOptions f;
    f.browser = o.browser;
    f.productName = o.productName;
    f.ownProfile = o.ownProfile;
    f.usualProfileDir = o.usualProfileDir;
    f.arguments = o.arguments;
    f.profileDir = o.profileDir;
    f.attachHost = o.attachHost;
    f.attachPort = o.attachPort;
    f.useX11 = o.useX11;
    f.popupFallbackMs = o.popupFallbackMs;
    f.retryMs = o.retryMs;
    f.startTimeoutMs = o.answerMs * 3 / 2;
    f.profileCheckMs = o.profileCheckMs;
    f.checkProfileLock = o.checkProfileLock;
    f.error = o.error;
    QString guardError;
    f.popupGuard = FirefoxOptions::popupGuardFromEnvironment(&guardError);
    if (f.error.isEmpty())
        f.error = guardError;
    return f;
}

} // namespace

DesktopBrowser::DesktopBrowser(ChromiumOptions base, QObject* parent)
    : BrowserShell(parent), m_base(std::move(base)) {
    m_fixedKind = overrides().browser ? kindFixedFromOutside(m_base.browser) : nullptr;
    m_discovery.scan();
    QTimer::singleShot(0, this, [this] {
        if (!m_started)
            start();
    });
}

DesktopBrowser::DesktopBrowser(ChromiumOptions base, BrowserDiscovery discovery, QObject* parent)
    : BrowserShell(parent), m_base(std::move(base)), m_discovery(std::move(discovery)) {
    m_fixedKind = overrides().browser ? kindFixedFromOutside(m_base.browser) : nullptr;
}

DesktopBrowser::~DesktopBrowser() {
    blockSignals(true);
    dropAdapter();
}

void DesktopBrowser::start() {
    m_started = true;
    rebuild();
}

BrowserOverrides DesktopBrowser::overrides() const {
    BrowserOverrides o;
    o.browser = !m_base.browser.isEmpty() || m_base.attachPort != 0 || !m_base.error.isEmpty();
    o.profile = !m_base.profileDir.isEmpty() || m_base.attachPort != 0 ||
                std::any_of(m_base.arguments.begin(), m_base.arguments.end(), [](const QString& a) {
                    return a.startsWith(u"--user-data-dir") || FirefoxOptions::namesProfile(a);
                });
    return o;
}

void DesktopBrowser::choose(const QString& id, bool ownProfile) {
    if (m_chosen && id == m_choice && ownProfile == m_ownProfile)
        return;
    m_chosen = true;
    m_choice = id;
    m_ownProfile = ownProfile;
    if (m_started)
        rebuild();
}

void DesktopBrowser::wake() {
    if (!m_started)
        return;
    if (m_adapter.shell)
        return m_adapter.shell->wake();
    // The chosen browser was not found: it may have been installed since.
    m_discovery.scan();
    rebuild();
}

void DesktopBrowser::dropAdapter() {
    if (!m_adapter.shell)
        return;
    // Letting the browser go revokes its windows; its "closed" is not the user's doing.
    m_switching = true;
    m_adapter.stop();
    m_adapter.shell->disconnect(this);
    m_adapter = {};
    m_switching = false;
}

void DesktopBrowser::rebuild() {
    dropAdapter();
    const BrowserOverrides fixed = overrides();
    m_options = m_base;
    const BrowserKind* kind = nullptr;
    if (fixed.browser) {
        kind = m_fixedKind;
        if (kind)
            m_options.productName = kind->name;
    } else {
        const FoundBrowser* found = m_discovery.find(m_choice);
        if (!found)
            found = m_discovery.find(m_discovery.defaultId());
        if (!found) {
            // Nothing to launch: say what was looked for.
            const BrowserKind* wanted = BrowserDiscovery::kind(m_choice);
            if (!wanted)
                wanted = &BrowserDiscovery::kinds().front();
            m_status = {};
            m_status.state = BrowserStatus::State::Stopped;
            m_status.reason = BrowserStatus::Reason::NotFound;
            m_status.browser = wanted->name;
            m_status.detail = wanted->programs.first();
            announce();
            return;
        }
        kind = found->kind;
        m_options.browser = found->program;
        m_options.productName = kind->name;
    }
    if (m_ownProfile && !fixed.profile) {
        m_options.ownProfile = true;
        if (kind)
            m_options.usualProfileDir = BrowserDiscovery::usualProfileDir(*kind, m_options.browser);
    }
    m_adapter = makeAdapter(kind);
    BrowserShell* shell = m_adapter.shell.get();
    connect(shell, &BrowserShell::windowRegistered, this, &BrowserShell::windowRegistered);
    connect(shell, &BrowserShell::windowRevoked, this, &BrowserShell::windowRevoked);
    connect(shell, &BrowserShell::statusChanged, this, [this] {
        if (!m_switching)
            announce();
    });
    m_adapter.start();
    announce();
}

DesktopBrowser::Adapter DesktopBrowser::makeAdapter(const BrowserKind* kind) {
    // A program given from outside that Tavrel does not know is taken for one of the
    // Chromium family.
    const BrowserEngine engine = kind ? kind->engine : BrowserEngine::Cdp;
    switch (engine) {
    case BrowserEngine::Bidi: {
        auto firefox = std::make_unique<FirefoxBrowser>(firefoxOptions(m_options));
        FirefoxBrowser* f = firefox.get();
        return {std::move(firefox), [f] { f->start(); }, [f] { f->stop(); }};
    }
    case BrowserEngine::Cdp:
        break;
    }
    auto chromium = std::make_unique<ChromiumBrowser>(m_options);
    ChromiumBrowser* c = chromium.get();
    return {std::move(chromium), [c] { c->start(); }, [c] { c->stop(); }};
}

void DesktopBrowser::announce() {
    // From the event loop: the listener may open a dialog, which must not run inside the
    // adapter's own handling of the browser.
    if (m_announcing)
        return;
    m_announcing = true;
    QTimer::singleShot(0, this, [this] {
        m_announcing = false;
        emit statusChanged();
    });
}

BrowserStatus DesktopBrowser::status() const {
    if (m_adapter.shell)
        return m_adapter.shell->status();
    if (m_started)
        return m_status;
    // Not started yet: about to start the chosen browser.
    BrowserStatus s;
    const FoundBrowser* found = m_discovery.find(m_choice);
    if (!found)
        found = m_discovery.find(m_discovery.defaultId());
    if (overrides().browser)
        s.browser = m_base.attachPort != 0
                        ? QStringLiteral("%1:%2").arg(m_base.attachHost).arg(m_base.attachPort)
                        : QFileInfo(m_base.browser).fileName();
    else if (found)
        s.browser = found->kind->name;
    s.ownProfile = m_ownProfile && !overrides().profile;
    return s;
}

QList<BrowserProduct> DesktopBrowser::browsersFound() const {
    return m_discovery.products();
}

QString DesktopBrowser::defaultBrowser() const {
    return m_discovery.defaultId();
}

QStringList DesktopBrowser::supportedBrowsers() const {
    QStringList names;
    for (const BrowserKind& k : BrowserDiscovery::kinds())
        names << k.name;
    return names;
}

QList<BrowserWindow*> DesktopBrowser::windows() const {
    return m_adapter.shell ? m_adapter.shell->windows() : QList<BrowserWindow*>();
}

bool DesktopBrowser::postClose(WindowHandle handle) {
    return m_adapter.shell && m_adapter.shell->postClose(handle);
}

bool DesktopBrowser::keyDown(Key key) const {
    return m_adapter.shell && m_adapter.shell->keyDown(key);
}

QPoint DesktopBrowser::cursorPosIn(WindowHandle handle) const {
    return m_adapter.shell ? m_adapter.shell->cursorPosIn(handle) : QPoint();
}

bool DesktopBrowser::openUrl(const QString& url) {
    return m_adapter.shell && m_adapter.shell->openUrl(url);
}

QString DesktopBrowser::requestedWindowUrl(WindowHandle opener) const {
    return m_adapter.shell ? m_adapter.shell->requestedWindowUrl(opener) : QString();
}

// --- The watched browser's cookies ------------------------------------------------------------

bool DesktopBrowser::hasCookies() const {
    return m_adapter.shell && m_adapter.shell->hasCookies();
}

void DesktopBrowser::readCookies(CookieCallback done) {
    if (!m_adapter.shell)
        return done({false, {}, QStringLiteral("aucun navigateur surveillé")});
    m_adapter.shell->readCookies(std::move(done));
}

void DesktopBrowser::deleteCookies(const QList<BrowserCookie>& cookies, CookieCallback done) {
    if (!m_adapter.shell)
        return done({false, {}, QStringLiteral("aucun navigateur surveillé")});
    m_adapter.shell->deleteCookies(cookies, std::move(done));
}

// --- The browser's own settings ----------------------------------------------------------------

const BrowserKind* DesktopBrowser::chosenKind() const {
    if (overrides().browser)
        return m_fixedKind;
    const FoundBrowser* found = m_discovery.find(m_choice);
    if (!found)
        found = m_discovery.find(m_discovery.defaultId());
    return found ? found->kind : nullptr;
}

bool DesktopBrowser::openSettings() {
    const BrowserKind* kind = chosenKind();
    const bool firefox = kind && kind->engine == BrowserEngine::Bidi;
    // The Chromium family opens its settings page in a new tab over its protocol. Firefox
    // refuses that for its own pages: a `firefox` started on the watched profile hands the
    // page over to the watched browser (which takes what is given on its profile).
    if (!firefox && m_adapter.shell &&
        m_adapter.shell->status().state == BrowserStatus::State::Watching &&
        m_adapter.shell->openUrl(QStringLiteral("chrome://settings/cookies")))
        return true;
    const SettingsCommand command = settingsCommand();
    return !command.program.isEmpty() &&
           QProcess::startDetached(command.program, command.arguments);
}

DesktopBrowser::SettingsCommand DesktopBrowser::settingsCommand() const {
    const BrowserKind* kind = chosenKind();
    const bool firefox = kind && kind->engine == BrowserEngine::Bidi;
    const BrowserOverrides fixed = overrides();
    QString program = m_base.browser;
    if (!fixed.browser) {
        const FoundBrowser* found = m_discovery.find(m_choice);
        if (!found)
            found = m_discovery.find(m_discovery.defaultId());
        program = found ? found->program : QString();
    } else if (program.isEmpty()) {
        // Attached to a browser whose program was not named.
        program = firefox ? QStringLiteral("firefox-esr") : QStringLiteral("chromium");
    }
    SettingsCommand c;
    if (!program.isEmpty())
        c.program =
            QFileInfo(program).isAbsolute() ? program : QStandardPaths::findExecutable(program);
    if (c.program.isEmpty() || !QFileInfo(c.program).isExecutable() || QFileInfo(c.program).isDir())
        return {};
    // The profile the browser is watched with: one fixed from outside, the user's usual one
    // (the Chromium family's is its default), or Tavrel's own. An attached browser's is its
    // own business.
    QString profile;
    QString named; // a Firefox profile given by its name
    const QStringList& arguments = m_base.arguments;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        const QString next = i + 1 < arguments.size() ? arguments.at(i + 1) : QString();
        if (a.startsWith(u"--user-data-dir="))
            profile = a.mid(16);
        else if (a.startsWith(u"--profile="))
            profile = a.mid(10);
        else if (a == u"--profile" || a == u"-profile")
            profile = next;
        else if (a == u"-P" || a == u"--P")
            named = next;
    }
    if (profile.isEmpty() && named.isEmpty() && m_base.attachPort == 0) {
        if (!m_base.profileDir.isEmpty())
            profile = m_base.profileDir;
        else if (m_ownProfile)
            profile =
                firefox && kind ? BrowserDiscovery::usualProfileDir(*kind, c.program) : QString();
        else
            profile = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                      (firefox ? QStringLiteral("/Tavrel/firefox-profile")
                               : QStringLiteral("/Tavrel/browser-profile"));
    }
    if (firefox) {
        if (!profile.isEmpty())
            c.arguments << QStringLiteral("--profile") << profile;
        else if (!named.isEmpty())
            c.arguments << QStringLiteral("-P") << named;
        c.arguments << QStringLiteral("--new-tab") << QStringLiteral("about:preferences#privacy");
    } else {
        if (!profile.isEmpty())
            c.arguments << QStringLiteral("--user-data-dir=") + profile;
        c.arguments << QStringLiteral("chrome://settings/cookies");
    }
    return c;
}

} // namespace platform::linuxp
