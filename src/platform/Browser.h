#pragma once

#include <QDateTime>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <functional>
#include <optional>

namespace platform {

// Top-level handle of one browser window (a page target). Unique among open windows and
// never reused while the program runs.
using WindowHandle = std::uint32_t;

// Arguments of a navigation that is about to start; `cancel` is passed back to the browser.
struct NavigationRequest {
    QString url;
    int flags = 0;
    QString targetFrameName;
    QByteArray postData;
    QString headers;
    bool topLevel = true; // the navigation is the window's own, not a frame's
    bool cancel = false;
};

// One open browser window, as the shell lists it. Property reads may fail (the window is
// going away, the browser does not answer): they then return an empty optional.
class BrowserWindow : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    /// Top-level window handle; fixed for the window's life.
    virtual WindowHandle hwnd() const = 0;
    /// Page name (the document title), or nothing when it cannot be read.
    virtual std::optional<QString> locationName() const = 0;
    /// Address of the shown page, or nothing when it cannot be read.
    virtual std::optional<QString> locationURL() const = 0;
    /// Outer window width in pixels, or nothing when it cannot be read.
    virtual std::optional<int> width() const = 0;
    /// Outer window height in pixels, or nothing when it cannot be read.
    virtual std::optional<int> height() const = 0;
    /// True when the window shows an HTML document whose mouse events are reported.
    virtual bool hasDocument() const = 0;

signals:
    /// A navigation is about to start; a handler may set `request.cancel`.
    void beforeNavigate2(platform::NavigationRequest& request);
    /// A navigation has committed.
    void navigateComplete2(const QString& url, bool topLevel);
    /// A document finished loading; `topLevel` is false for a frame's document.
    void documentComplete(const QString& url, bool topLevel);
    /// A download started or ended.
    void downloadBegin();
    void downloadComplete();
    /// Command 1 (forward) or 2 (back) became possible or impossible.
    void commandStateChange(int command, bool enable);
    /// The page asks for a new window; a handler may set `cancel` to refuse it.
    void newWindow2(bool& cancel);
    /// The page itself refused `count` new windows it asked for without a user gesture,
    /// because this window had just been refused one (the last asked for `url`). They never
    /// came to `newWindow2`; they are refusals all the same.
    void windowsRefusedByPage(int count, const QString& url);
    /// Mouse events of the shown document.
    void documentMouseDown();
    void documentMouseUp();
    /// Context menu of the document; a handler sets `allow` false to suppress the page's menu.
    void documentContextMenu(bool& allow);
};

enum class Key { LButton, Shift, Control, Alt };

// A browser program the shell can watch: `id` is what a stored choice names ("chromium"),
// `name` what the user calls it ("Chromium").
struct BrowserProduct {
    QString id;
    QString name;
    bool operator==(const BrowserProduct&) const = default;
};

// What the shell watches, or why it watches nothing.
struct BrowserStatus {
    enum class State {
        Starting, // being launched or reached; nothing is watched yet
        Watching, // the browser answers: its windows are watched
        Stopped   // nothing is watched; `reason` says why
    };
    enum class Reason {
        None,
        NotFound,         // no such program (`detail`: the program looked for)
        CannotStart,      // the program did not run (`detail`: the system's words)
        ProfileInUse,     // that browser already runs with that profile; it is started once
                          // the user closes it
        DebuggingRefused, // the browser runs but refuses to be watched on that profile
        NoAnswer,         // the browser runs but never answered
        Closed,           // the user closed the browser; started again on request (`wake`)
        Crashed,          // the browser ended abnormally; it is being started again
        KeepsCrashing,    // it ended at every start; started again on request (`wake`)
        Unreachable,      // nothing listens at the debugging address (`detail`); tried again
        ConnectionLost,   // the debugging connection ended (`detail`: the address); tried again
        BadSetting,       // a setting from outside cannot be used (`detail`: which and why)
        ChangesProfile,   // watched, the browser would change the settings of the user's usual
                          // profile; not started until the profile says no (`detail`: the file
                          // where, empty when the browser has no usual profile yet)
        SessionTaken      // another program holds the browser's one debugging session
                          // (`detail`: the address); tried again
    };
    State state = State::Starting;
    Reason reason = Reason::None;
    /// The browser as the user knows it ("Chromium"), or its debugging address.
    QString browser;
    QString detail;
    /// True when the browser runs with the user's usual profile rather than Tavrel's own.
    bool ownProfile = false;
    /// True when the browser's own pop-up blocker refuses the windows opened without a click
    /// before Tavrel's rules are asked (the user's profile keeps it on).
    bool browserBlocksPopups = false;
    bool operator==(const BrowserStatus&) const = default;
};

// Choices made on the command line or in the environment; they win over the user's choice.
struct BrowserOverrides {
    bool browser = false; // the program, or a debugging address to attach to
    bool profile = false; // the profile folder
};

// One cookie of the watched browser, as its protocol gives it.
struct BrowserCookie {
    QString name;
    QString value;
    /// As the browser keeps it: ".example.com" for a cookie sent to the subdomains too, the
    /// host alone for a host-only cookie.
    QString domain;
    QString path;
    bool secure = false;
    bool httpOnly = false;
    /// When it expires; nothing for a session cookie.
    std::optional<QDateTime> expires;
    /// Its size as the browser counts it (name and value).
    qint64 size = 0;
    /// When it was made and last sent, where the protocol tells (neither Chromium's nor
    /// Firefox's does).
    std::optional<QDateTime> created;
    std::optional<QDateTime> lastAccess;
    /// Which of the browser's cookie stores holds it, in the adapter's own words (empty: the
    /// usual one); handed back to delete it.
    QString partition;
    bool operator==(const BrowserCookie&) const = default;
};

// The answer to a cookie request: the cookies read, or why the request failed.
struct CookieAnswer {
    bool ok = false;
    QList<BrowserCookie> cookies;
    QString error;
};
using CookieCallback = std::function<void(const CookieAnswer&)>;

// The shell's view of the open browser windows, and the calls made on them by handle.
class BrowserShell : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    /// The open browser windows in a stable order; the pointers stay valid until the window
    /// is revoked (the shell owns them).
    virtual QList<BrowserWindow*> windows() const = 0;
    /// Asks the window with this handle to close, without waiting; false when none has it.
    virtual bool postClose(WindowHandle handle) = 0;
    /// True while the key or mouse button is held.
    virtual bool keyDown(Key key) const = 0;
    /// The mouse position relative to the window with this handle.
    virtual QPoint cursorPosIn(WindowHandle handle) const = 0;
    /// True when a browser is reachable at all (capability query).
    virtual bool available() const { return status().state == BrowserStatus::State::Watching; }

    /// What is watched now, or why nothing is; `statusChanged` tells each change.
    virtual BrowserStatus status() const = 0;
    /// The browsers installed here that the shell can watch, in the order offered to the user.
    virtual QList<BrowserProduct> browsersFound() const { return {}; }
    /// The browser watched when the user has chosen none: the desktop's default browser when
    /// it is one of those found, else the first found; empty when none is found.
    virtual QString defaultBrowser() const { return {}; }
    /// The names of every kind of browser the shell can watch, for telling the user.
    virtual QStringList supportedBrowsers() const { return {}; }
    /// What the command line or the environment fixed.
    virtual BrowserOverrides overrides() const { return {}; }
    /// Watches the browser `id` (one of `browsersFound`, else the default), with the user's
    /// usual profile or Tavrel's own. A change lets the watched browser go and starts the
    /// chosen one; choosing what is watched already does nothing.
    virtual void choose(const QString& id, bool ownProfile) {
        (void)id;
        (void)ownProfile;
    }
    /// Tries again where only the user could make a difference: a browser the user closed, one
    /// that kept crashing or never answered, a program not found then.
    virtual void wake() {}

    // Opening an address on the user's demand ("open anyway").
    /// Opens the address in a new window of the watched browser; false when it cannot.
    virtual bool openUrl(const QString& url) {
        Q_UNUSED(url);
        return false;
    }
    /// The address a page of window `opener` asked a new window for, while that request is
    /// being decided (newWindow2); empty when the browser did not say.
    virtual QString requestedWindowUrl(WindowHandle opener) const {
        Q_UNUSED(opener);
        return {};
    }
    /// While a window's newWindow2 signal is handled: whether the browser itself saw a user
    /// gesture (a click, a key) behind the request; nothing when the browser does not tell.
    virtual std::optional<bool> newWindowGesture() const { return std::nullopt; }
    /// Opens the watched browser's settings of cookies and privacy (in the watched browser
    /// when it runs, else in the chosen browser started on its profile); false when there is
    /// nothing to open them with.
    virtual bool openSettings() { return false; }

    // The cookies of the watched browser's profile. The answer runs the callback once, on the
    // event loop or at once; a browser that does not answer fails it within seconds. A shell
    // that lets its browser go meanwhile may drop it (`statusChanged` tells of that).
    /// True while the watched browser's cookies can be read and deleted.
    virtual bool hasCookies() const { return false; }
    /// Reads every cookie of the watched browser.
    virtual void readCookies(CookieCallback done) {
        done({false, {}, QStringLiteral("no cookies to read")});
    }
    /// Deletes exactly these cookies (as `readCookies` gave them); the answer's cookies are
    /// left empty, its error tells what could not be deleted.
    virtual void deleteCookies(const QList<BrowserCookie>& cookies, CookieCallback done) {
        Q_UNUSED(cookies);
        done({false, {}, QStringLiteral("no cookies to delete")});
    }

signals:
    /// A browser window was registered (opened) or revoked (closed).
    void windowRegistered();
    void windowRevoked();
    /// `status()` changed.
    void statusChanged();
};

} // namespace platform
