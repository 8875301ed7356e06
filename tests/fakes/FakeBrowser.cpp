#include "fakes/FakeBrowser.h"

#include <algorithm>

namespace fakes {

using namespace platform;

std::optional<QString> FakeBrowserWindow::locationName() const {
    if (unreadable.count(QStringLiteral("title")))
        return std::nullopt;
    return title;
}

std::optional<QString> FakeBrowserWindow::locationURL() const {
    if (unreadable.count(QStringLiteral("url")))
        return std::nullopt;
    return url;
}

std::optional<int> FakeBrowserWindow::width() const {
    if (unreadable.count(QStringLiteral("width")))
        return std::nullopt;
    return w;
}

std::optional<int> FakeBrowserWindow::height() const {
    if (unreadable.count(QStringLiteral("height")))
        return std::nullopt;
    return h;
}

bool FakeBrowserWindow::navigate(const QString& to, bool topLevel) {
    NavigationRequest request;
    request.url = to;
    request.topLevel = topLevel;
    emit beforeNavigate2(request);
    if (request.cancel)
        return false;
    if (topLevel) {
        url = to;
        m_hasDocument = true; // the window now shows a page
    }
    emit navigateComplete2(to, topLevel);
    emit documentComplete(to, topLevel);
    return true;
}

FakeBrowserShell::~FakeBrowserShell() = default;

QList<BrowserWindow*> FakeBrowserShell::windows() const {
    QList<BrowserWindow*> list;
    for (const auto& w : m_windows)
        list.append(w.get());
    return list;
}

FakeBrowserWindow* FakeBrowserShell::window(WindowHandle handle) const {
    for (const auto& w : m_windows)
        if (w->hwnd() == handle)
            return w.get();
    return nullptr;
}

bool FakeBrowserShell::postClose(WindowHandle handle) {
    if (window(handle)) {
        m_t.line(QStringLiteral("close window %1").arg(handle));
        m_pendingClose.push_back(handle);
        return true;
    }
    m_t.line(QStringLiteral("close handle %1").arg(handle));
    return false;
}

bool FakeBrowserShell::keyDown(Key key) const {
    return m_keys.count(key) > 0;
}

QPoint FakeBrowserShell::cursorPosIn(WindowHandle) const {
    return QPoint(10, 10);
}

FakeBrowserWindow* FakeBrowserShell::open(WindowHandle handle) {
    m_highest = std::max(m_highest, handle);
    m_windows.push_back(std::make_unique<FakeBrowserWindow>(handle));
    FakeBrowserWindow* w = m_windows.back().get();
    if (m_prepare) {
        m_prepare(w);
        m_prepare = nullptr;
    }
    emit windowRegistered();
    return w;
}

bool FakeBrowserShell::openFrom(WindowHandle opener, WindowHandle handle,
                                FakeBrowserWindow** created, const QString& url) {
    bool cancel = false;
    m_requestOpener = opener;
    m_requestUrl = url;
    if (FakeBrowserWindow* o = window(opener))
        emit o->newWindow2(cancel);
    m_requestOpener = 0;
    m_requestUrl.clear();
    if (cancel) {
        *created = nullptr;
        return false;
    }
    *created = open(handle);
    return true;
}

void FakeBrowserShell::close(WindowHandle handle) {
    for (auto it = m_windows.begin(); it != m_windows.end(); ++it)
        if ((*it)->hwnd() == handle) {
            std::unique_ptr<FakeBrowserWindow> gone = std::move(*it);
            m_windows.erase(it);
            emit windowRevoked();
            return; // `gone` is destroyed after every listener has let go of it
        }
}

void FakeBrowserShell::settle() {
    std::vector<WindowHandle> pending;
    pending.swap(m_pendingClose);
    for (WindowHandle h : pending)
        if (FakeBrowserWindow* w = window(h); w && w->closesWhenAsked)
            close(h);
}

QStringList FakeBrowserShell::supportedBrowsers() const {
    return {QStringLiteral("Chromium"), QStringLiteral("Brave")};
}

void FakeBrowserShell::setStatus(const BrowserStatus& status) {
    if (status == m_status)
        return;
    m_status = status;
    emit statusChanged();
}

void FakeBrowserShell::choose(const QString& id, bool ownProfile) {
    if (id == m_chosen && ownProfile == m_chosenOwn)
        return;
    m_chosen = id;
    m_chosenOwn = ownProfile;
    // The chosen browser is the one the status names.
    BrowserStatus s = m_status;
    for (const BrowserProduct& p : m_found)
        if (p.id == id)
            s.browser = p.name;
    s.ownProfile = ownProfile;
    s.browserBlocksPopups = false; // the new browser tells its own
    setStatus(s);
}

void FakeBrowserShell::wake() {
    ++m_wakes;
    using R = BrowserStatus::Reason;
    if (m_status.state != BrowserStatus::State::Stopped)
        return;
    const R r = m_status.reason;
    if (r == R::Closed || r == R::KeepsCrashing || r == R::NoAnswer || r == R::CannotStart ||
        r == R::NotFound || r == R::ProfileInUse || r == R::ChangesProfile) {
        BrowserStatus s = m_status;
        s.state = BrowserStatus::State::Watching;
        s.reason = R::None;
        s.detail.clear();
        setStatus(s);
    }
}

bool FakeBrowserShell::openUrl(const QString& url) {
    if (!opensUrls)
        return false;
    const WindowHandle handle = m_highest + 1;
    m_t.line(QStringLiteral("browser open %1 -> window %2").arg(quote(url)).arg(handle));
    prepareNext([url](FakeBrowserWindow* w) { w->url = url; });
    open(handle);
    return true;
}

QString FakeBrowserShell::requestedWindowUrl(WindowHandle opener) const {
    return opener == m_requestOpener ? m_requestUrl : QString();
}

void FakeBrowserShell::setKey(Key key, bool down) {
    if (down)
        m_keys.insert(key);
    else
        m_keys.erase(key);
}

// --- The browser's cookies ----------------------------------------------------------------------

namespace {
bool sameCookie(const BrowserCookie& a, const BrowserCookie& b) {
    return a.name == b.name && a.domain == b.domain && a.path == b.path &&
           a.partition == b.partition;
}
} // namespace

bool FakeBrowserShell::hasCookies() const {
    return m_cookieStore && m_status.state == BrowserStatus::State::Watching;
}

void FakeBrowserShell::setCookieStore(bool on) {
    if (on == m_cookieStore)
        return;
    m_cookieStore = on;
    emit statusChanged();
}

void FakeBrowserShell::setCookie(const BrowserCookie& cookie) {
    const auto it = std::find_if(m_cookies.begin(), m_cookies.end(),
                                 [&](const BrowserCookie& c) { return sameCookie(c, cookie); });
    if (it != m_cookies.end())
        *it = cookie;
    else
        m_cookies.append(cookie);
    setCookieStore(true);
}

void FakeBrowserShell::answerCookies(std::function<void()> answer) {
    if (holdCookieAnswers)
        m_heldAnswers.push_back(std::move(answer));
    else
        answer();
}

int FakeBrowserShell::releaseCookieAnswers() {
    std::vector<std::function<void()>> held;
    held.swap(m_heldAnswers);
    for (const auto& answer : held)
        answer();
    return int(held.size());
}

void FakeBrowserShell::readCookies(CookieCallback done) {
    CookieAnswer answer;
    if (!hasCookies())
        answer.error = QStringLiteral("no browser");
    else if (!cookieFailure.isEmpty())
        answer.error = cookieFailure;
    else
        answer = {true, m_cookies, {}};
    answerCookies([done = std::move(done), answer] { done(answer); });
}

void FakeBrowserShell::deleteCookies(const QList<BrowserCookie>& cookies, CookieCallback done) {
    CookieAnswer answer;
    if (!hasCookies() || !cookieFailure.isEmpty()) {
        answer.error = hasCookies() ? cookieFailure : QStringLiteral("no browser");
    } else {
        answer.ok = true;
        for (const BrowserCookie& doomed : cookies) {
            m_t.line(QStringLiteral("browser delete cookie %1 %2 %3")
                         .arg(quote(doomed.name), quote(doomed.domain), quote(doomed.path)));
            m_cookies.removeIf([&](const BrowserCookie& c) { return sameCookie(c, doomed); });
        }
    }
    answerCookies([done = std::move(done), answer] { done(answer); });
}

} // namespace fakes
