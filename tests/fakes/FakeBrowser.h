#pragma once

#include "fakes/Transcript.h"
#include "platform/Browser.h"

#include <functional>
#include <memory>
#include <set>
#include <vector>

namespace fakes {

class FakeBrowserWindow : public platform::BrowserWindow {
    Q_OBJECT
public:
    explicit FakeBrowserWindow(platform::WindowHandle handle) : m_handle(handle) {}

    platform::WindowHandle hwnd() const override { return m_handle; }
    std::optional<QString> locationName() const override;
    std::optional<QString> locationURL() const override;
    std::optional<int> width() const override;
    std::optional<int> height() const override;
    bool hasDocument() const override { return m_hasDocument; }
    /// A navigation of the window (or of one of its frames): announced, and unless cancelled
    /// committed and loaded. Returns false when it was cancelled.
    bool navigate(const QString& to, bool topLevel);

    QString title;
    QString url;
    int w = 800;
    int h = 600;
    bool m_hasDocument = true;
    bool closesWhenAsked = true;
    /// Properties that fail when read ("title", "url", "width", "height").
    std::set<QString> unreadable;

private:
    platform::WindowHandle m_handle;
};

// A scripted set of browser windows. Close requests are recorded at once and carried out
// when `settle` runs (as a real window handles its close message later). Its status is set
// by the script (Chromium watched until then); the browsers it offers are scripted too, and
// it remembers what the program chose. Waking a browser that only the user could bring back
// makes it watched again.
class FakeBrowserShell : public platform::BrowserShell {
    Q_OBJECT
public:
    explicit FakeBrowserShell(Transcript& t) : m_t(t) {}
    ~FakeBrowserShell() override;

    QList<platform::BrowserWindow*> windows() const override;
    bool postClose(platform::WindowHandle handle) override;
    bool keyDown(platform::Key key) const override;
    QPoint cursorPosIn(platform::WindowHandle handle) const override;
    platform::BrowserStatus status() const override { return m_status; }
    QList<platform::BrowserProduct> browsersFound() const override { return m_found; }
    QString defaultBrowser() const override { return m_default; }
    QStringList supportedBrowsers() const override;
    platform::BrowserOverrides overrides() const override { return m_overrides; }
    void choose(const QString& id, bool ownProfile) override;
    void wake() override;

    /// Sets the status and tells it.
    void setStatus(const platform::BrowserStatus& status);
    void setFound(QList<platform::BrowserProduct> found, QString byDefault) {
        m_found = std::move(found);
        m_default = std::move(byDefault);
    }
    void setOverrides(platform::BrowserOverrides overrides) { m_overrides = overrides; }
    /// What the program chose last (empty before it chose), and how often it woke the shell.
    QString chosen() const { return m_chosen; }
    bool chosenOwnProfile() const { return m_chosenOwn; }
    int wakes() const { return m_wakes; }
    /// Opens a window showing the address at once, with the next free handle (the one after
    /// the highest so far); prints `browser open "URL" -> window N`.
    bool openUrl(const QString& url) override;
    QString requestedWindowUrl(platform::WindowHandle opener) const override;
    std::optional<bool> newWindowGesture() const override { return gesture; }

    FakeBrowserWindow* window(platform::WindowHandle handle) const;
    /// A window appears (registered at once).
    FakeBrowserWindow* open(platform::WindowHandle handle);
    /// A page of `opener` asks for a new window showing `url`; true when it was allowed (and
    /// opened).
    bool openFrom(platform::WindowHandle opener, platform::WindowHandle handle,
                  FakeBrowserWindow** created, const QString& url = {});
    /// False: the browser cannot open addresses (as when none is running).
    bool opensUrls = true;
    /// A window goes away (revoked at once).
    void close(platform::WindowHandle handle);
    /// Carries out the close requests made since the last call.
    void settle();
    void setKey(platform::Key key, bool down);
    /// What the browser says about a user gesture behind the windows asked for (nothing: it
    /// does not tell, as the scenario browser).
    std::optional<bool> gesture;
    /// Sets up the next window opened before it is registered.
    void prepareNext(std::function<void(FakeBrowserWindow*)> prepare) {
        m_prepare = std::move(prepare);
    }

    // --- The browser's cookies ------------------------------------------------------------
    // The browser keeps no cookies it offers until a scenario gives it some (so that the
    // cookie folder is shown meanwhile); from then on they are read and deleted while it is
    // watched. A deletion prints `browser delete cookie "NAME" "DOMAIN" "PATH"`.
    bool hasCookies() const override;
    void readCookies(platform::CookieCallback done) override;
    void deleteCookies(const QList<platform::BrowserCookie>& cookies,
                       platform::CookieCallback done) override;
    /// Adds a cookie, or replaces the one of the same name, domain, path and partition; the
    /// first one makes the browser offer its cookies (told as a status change).
    void setCookie(const platform::BrowserCookie& cookie);
    /// Whether the browser offers its cookies at all (told as a status change).
    void setCookieStore(bool on);
    const QList<platform::BrowserCookie>& cookies() const { return m_cookies; }
    /// Reads and deletions fail with this error from now on; empty: they work.
    QString cookieFailure;
    /// While on, answers wait until `releaseCookieAnswers`, as a browser's come later.
    bool holdCookieAnswers = false;
    /// Gives the answers held so far, in order; how many there were.
    int releaseCookieAnswers();

private:
    void answerCookies(std::function<void()> answer);
    bool m_cookieStore = false;
    QList<platform::BrowserCookie> m_cookies;
    std::vector<std::function<void()>> m_heldAnswers;

    std::function<void(FakeBrowserWindow*)> m_prepare;
    Transcript& m_t;
    std::vector<std::unique_ptr<FakeBrowserWindow>> m_windows;
    std::vector<platform::WindowHandle> m_pendingClose;
    std::set<platform::Key> m_keys;
    platform::BrowserStatus m_status{platform::BrowserStatus::State::Watching,
                                     platform::BrowserStatus::Reason::None,
                                     QStringLiteral("Chromium"), QString(), false};
    QList<platform::BrowserProduct> m_found{
        {QStringLiteral("chromium"), QStringLiteral("Chromium")}};
    QString m_default = QStringLiteral("chromium");
    platform::BrowserOverrides m_overrides;
    QString m_chosen;
    bool m_chosenOwn = false;
    int m_wakes = 0;
    platform::WindowHandle m_highest = 0;
    // The new-window request being decided.
    platform::WindowHandle m_requestOpener = 0;
    QString m_requestUrl;
};

} // namespace fakes
