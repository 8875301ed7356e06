#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <QVariant>
#include <cstdint>
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
    /// Mouse events of the shown document.
    void documentMouseDown();
    void documentMouseUp();
    /// Context menu of the document; a handler sets `allow` false to suppress the page's menu.
    void documentContextMenu(bool& allow);
};

enum class Key { LButton, Shift, Control, Alt };

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
    virtual bool available() const { return true; }
    /// While a window's newWindow2 signal is handled: whether the browser itself saw a user
    /// gesture (a click, a key) behind the request; nothing when the browser does not tell.
    virtual std::optional<bool> newWindowGesture() const { return std::nullopt; }

signals:
    /// A browser window was registered (opened) or revoked (closed).
    void windowRegistered();
    void windowRevoked();
};

} // namespace platform
