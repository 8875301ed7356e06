#pragma once

#include "platform/Browser.h"
#include "platform/linux/BrowserDiscovery.h"
#include "platform/linux/ChromiumOptions.h"

#include <functional>
#include <memory>

namespace platform::linuxp {

// The browser the program watches on the desktop: the one the user chose among those
// installed (the desktop's default until then), with the user's usual profile or Tavrel's
// own, unless the command line or the environment fixed it. It builds the adapter of that
// browser's engine and passes every call on to it; a new choice lets the watched browser go
// and starts the chosen one. Its status changes are told from the event loop, so that a
// listener may open a dialog.
class DesktopBrowser : public BrowserShell {
    Q_OBJECT
public:
    /// `base`: what the command line and the environment chose. Starts at the first turn of
    /// the event loop, with the choice made by then.
    explicit DesktopBrowser(ChromiumOptions base, QObject* parent = nullptr);
    /// As above, with the browsers found given (tests), and no start until `start`.
    DesktopBrowser(ChromiumOptions base, BrowserDiscovery discovery, QObject* parent = nullptr);
    ~DesktopBrowser() override;

    /// Starts watching the chosen browser (done by itself at the first turn of the loop).
    void start();

    QList<BrowserWindow*> windows() const override;
    bool postClose(WindowHandle handle) override;
    bool keyDown(Key key) const override;
    QPoint cursorPosIn(WindowHandle handle) const override;
    BrowserStatus status() const override;
    QList<BrowserProduct> browsersFound() const override;
    QString defaultBrowser() const override;
    QStringList supportedBrowsers() const override;
    BrowserOverrides overrides() const override;
    void choose(const QString& id, bool ownProfile) override;
    void wake() override;
    bool openUrl(const QString& url) override;
    QString requestedWindowUrl(WindowHandle opener) const override;
    bool openSettings() override;

    /// What starts the chosen browser on its settings page when it does not take the page over
    /// its protocol: the program, the profile it is watched with, the page. Empty when the
    /// program is not installed.
    struct SettingsCommand {
        QString program;
        QStringList arguments;
    };
    SettingsCommand settingsCommand() const;

    // The watched browser's cookies, from its adapter.
    bool hasCookies() const override;
    void readCookies(CookieCallback done) override;
    void deleteCookies(const QList<BrowserCookie>& cookies, CookieCallback done) override;

    /// The adapter now in use (null while none): for tests.
    BrowserShell* adapter() const { return m_adapter.shell.get(); }
    /// The options the adapter was built with.
    const ChromiumOptions& adapterOptions() const { return m_options; }

private:
    // One engine's adapter, with how to start and let go of its browser.
    struct Adapter {
        std::unique_ptr<BrowserShell> shell;
        std::function<void()> start;
        std::function<void()> stop;
    };
    void rebuild();
    void dropAdapter();
    Adapter makeAdapter(const BrowserKind* kind);
    /// The kind of the browser chosen (or fixed from outside), when Tavrel knows it.
    const BrowserKind* chosenKind() const;
    void announce();

    ChromiumOptions m_base;
    ChromiumOptions m_options;
    BrowserDiscovery m_discovery;
    QString m_choice;
    bool m_ownProfile = false;
    bool m_chosen = false;
    bool m_started = false;
    bool m_switching = false;
    bool m_announcing = false;
    BrowserStatus m_status;                   // while there is no adapter
    const BrowserKind* m_fixedKind = nullptr; // of a browser fixed from outside, when known
    Adapter m_adapter;
};

} // namespace platform::linuxp
