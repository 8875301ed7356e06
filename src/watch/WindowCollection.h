#pragma once

#include "platform/Browser.h"

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

namespace watch {

class PopupRules;
class WatchedWindow;

// The open browser windows, one wrapper each, in the order the browser lists them; rebuilt
// whenever a window opens or closes. It raises the events of every wrapped window as its own,
// so one listener can follow them all. Only the first window with a given handle is wrapped.
class WindowCollection : public QObject {
    Q_OBJECT
public:
    WindowCollection(platform::BrowserShell& shell, PopupRules& rules);
    ~WindowCollection() override;

    int count() const { return int(m_windows.size()); }
    /// The wrappers in order.
    std::vector<WatchedWindow*> windows() const;
    /// The wrapper of the window with this handle, or null.
    WatchedWindow* find(platform::WindowHandle handle) const;

signals:
    void windowRegistered();
    void windowRevoked();
    /// A navigation is about to start in a window (`window` is null for a frame's); the
    /// listener's `cancel` is its own.
    void navigationBegin(platform::WindowHandle handle, platform::BrowserWindow* window,
                         const QString& url, bool& cancel);
    void navigationComplete(platform::WindowHandle handle, platform::BrowserWindow* window,
                            const QString& url);
    void documentComplete(platform::WindowHandle handle, platform::BrowserWindow* window,
                          const QString& url);
    void downloadBegin(platform::WindowHandle handle);
    void downloadComplete(platform::WindowHandle handle);
    void contextMenu(platform::WindowHandle handle);
    /// Mouse events: button 1 left, 2 right; shift 1 Shift, 2 Control, 4 Alt.
    void mouseDown(platform::WindowHandle handle, qint16 button, qint16 shift, float x, float y);
    void mouseUp(platform::WindowHandle handle, qint16 button, qint16 shift, float x, float y);
    void commandStateChange(platform::WindowHandle handle, qint32 command, bool enable);

private:
    void rebuild();
    void add(platform::BrowserWindow* window);
    void retire(std::unique_ptr<WatchedWindow> wrapper);
    void dropRetired();

    platform::BrowserShell& m_shell;
    PopupRules& m_rules;
    std::vector<std::unique_ptr<WatchedWindow>> m_windows;
    // Wrappers taken out while one of their handlers may still be running.
    std::vector<std::unique_ptr<WatchedWindow>> m_retired;
};

} // namespace watch
