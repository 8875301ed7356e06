#include "platform/linux/DesktopBrowser.h"

#include "platform/linux/ChromiumBrowser.h"

#include <QFileInfo>
#include <QTimer>

namespace platform::linuxp {

DesktopBrowser::DesktopBrowser(ChromiumOptions base, QObject* parent)
    : BrowserShell(parent), m_base(std::move(base)) {
    m_discovery.scan();
    QTimer::singleShot(0, this, [this] {
        if (!m_started)
            start();
    });
}

DesktopBrowser::DesktopBrowser(ChromiumOptions base, BrowserDiscovery discovery, QObject* parent)
    : BrowserShell(parent), m_base(std::move(base)), m_discovery(std::move(discovery)) {}

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
                std::any_of(m_base.arguments.begin(), m_base.arguments.end(),
                            [](const QString& a) { return a.startsWith(u"--user-data-dir"); });
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
        kind = BrowserDiscovery::kindOfProgram(m_base.browser);
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
            m_options.usualProfileDir = BrowserDiscovery::usualProfileDir(*kind);
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
    // Every kind known today speaks the DevTools Protocol; a program given from outside is
    // taken for one that does.
    const BrowserEngine engine = kind ? kind->engine : BrowserEngine::Cdp;
    switch (engine) {
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

} // namespace platform::linuxp
