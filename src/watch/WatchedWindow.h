#pragma once

#include "platform/Browser.h"

#include <QObject>
#include <QPointer>

namespace watch {

class WindowCollection;
class PopupRules;

// One open browser window and the document it shows: passes their events on to the
// collection, and lets the pop-up rules decide when the page asks for a new window.
class WatchedWindow : public QObject {
    Q_OBJECT
public:
    WatchedWindow(WindowCollection& collection, PopupRules& rules, platform::BrowserShell& shell);
    ~WatchedWindow() override;

    /// Follows a browser window: connects its events and reads its handle once.
    void watch(platform::BrowserWindow* window);
    platform::BrowserWindow* window() const { return m_window.data(); }
    platform::WindowHandle handle() const { return m_handle; }
    /// True while the document's mouse events reach this wrapper.
    bool hasDocumentEvents() const { return m_docConnected; }
    /// Forward and back navigation are possible, as the browser last said.
    bool canGoForward() const { return m_canForward; }
    bool canGoBack() const { return m_canBack; }

    /// Ends every event link (the collection retires the wrapper).
    void release();
    /// Number of wrapper handlers on the call stack: a wrapper must outlive its own handler.
    static int handlersRunning();

private:
    void connectDocument();
    void beforeNavigate(platform::NavigationRequest& request);
    void commandStateChanged(int command, bool enable);
    void documentComplete(const QString& url, bool topLevel);
    void navigateComplete(const QString& url, bool topLevel);
    void newWindow(bool& cancel);
    void mouseDown();
    void mouseUp();
    void contextMenu();
    qint16 shiftState() const;

    WindowCollection& m_collection;
    PopupRules& m_rules;
    platform::BrowserShell& m_shell;
    QPointer<platform::BrowserWindow> m_window;
    platform::WindowHandle m_handle = 0;
    bool m_docConnected = false;
    bool m_canBack = false;
    bool m_canForward = false;
    bool m_leftDown = false;
};

} // namespace watch
