#pragma once

#include "platform/Browser.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace platform::linuxp {

// How a kind of browser is driven. Each engine has its adapter behind BrowserShell.
enum class BrowserEngine {
    Cdp,  // the Chromium family, over the DevTools Protocol (ChromiumBrowser)
    Bidi, // Firefox, over WebDriver BiDi (FirefoxBrowser)
};

// One kind of browser Tavrel knows how to find and watch.
struct BrowserKind {
    /// What a stored choice names; also the name of its desktop entry ("chromium").
    QString id;
    /// What the user calls it ("Chromium").
    QString name;
    /// Program names looked for on the PATH, in order.
    QStringList programs;
    /// Desktop entries that mean this browser when the desktop names its default browser.
    QStringList desktopEntries;
    /// Its usual profile folder, under the user's configuration folder; empty when the
    /// browser says where it is (Firefox: profiles.ini).
    QString profileFolder;
    BrowserEngine engine = BrowserEngine::Cdp;
};

// A browser found on this machine.
struct FoundBrowser {
    const BrowserKind* kind = nullptr;
    QString program; // its full path
};

// The browsers installed here that Tavrel can watch, and the desktop's default browser.
class BrowserDiscovery {
public:
    /// Looks a program name up (a full path, or empty when not found).
    using Which = std::function<QString(const QString& name)>;

    /// Every kind Tavrel knows, in the order offered to the user.
    static const std::vector<BrowserKind>& kinds();
    static const BrowserKind* kind(const QString& id);
    /// The kind a program stands for, by its file name (a path or a bare name); null when
    /// none.
    static const BrowserKind* kindOfProgram(const QString& program);
    /// The folder of a kind's usual profile: `$XDG_CONFIG_HOME` (else `~/.config`), then the
    /// kind's folder; for Firefox, the profile that `program` opens by default, from its
    /// profiles.ini (empty when Firefox has none yet).
    static QString usualProfileDir(const BrowserKind& kind, const QString& program = {});
    /// What `xdg-settings get default-web-browser` says (a desktop entry name), or empty.
    static QString desktopDefaultEntry();

    /// Looks for every kind on the PATH (or through `which`); `desktopEntry` names the
    /// desktop's default browser.
    void scan(const Which& which, const QString& desktopEntry);
    /// As above, on this machine's PATH and desktop.
    void scan();

    const QList<FoundBrowser>& found() const { return m_found; }
    const FoundBrowser* find(const QString& id) const;
    /// The desktop's default browser when it was found, else the first found; empty when
    /// nothing was found.
    QString defaultId() const;
    QList<BrowserProduct> products() const;

private:
    QList<FoundBrowser> m_found;
    QString m_desktopDefault; // a kind's id
};

} // namespace platform::linuxp
