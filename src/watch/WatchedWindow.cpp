#include "watch/WatchedWindow.h"

#include "watch/PopupRules.h"
#include "watch/WindowCollection.h"

namespace watch {

namespace {

int g_handlersRunning = 0;

// Marks a wrapper handler as running, so that the collection keeps the wrapper alive until
// the handler has returned.
class HandlerScope {
public:
    HandlerScope() { ++g_handlersRunning; }
    ~HandlerScope() { --g_handlersRunning; }
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
};

} // namespace

int WatchedWindow::handlersRunning() {
    return g_handlersRunning;
}

WatchedWindow::WatchedWindow(WindowCollection& collection, PopupRules& rules,
                             platform::BrowserShell& shell)
    : m_collection(collection), m_rules(rules), m_shell(shell) {}

WatchedWindow::~WatchedWindow() {
    release();
}

void WatchedWindow::release() {
    if (m_window)
        disconnect(m_window.data(), nullptr, this, nullptr);
    m_window.clear();
    m_docConnected = false;
}

void WatchedWindow::watch(platform::BrowserWindow* window) {
    release();
    if (!window)
        return;
    m_window = window;
    using W = platform::BrowserWindow;
    connect(window, &W::beforeNavigate2, this,
            [this](platform::NavigationRequest& r) { beforeNavigate(r); });
    connect(window, &W::navigateComplete2, this,
            [this](const QString& url, bool top) { navigateComplete(url, top); });
    connect(window, &W::documentComplete, this,
            [this](const QString& url, bool top) { documentComplete(url, top); });
    connect(window, &W::downloadBegin, this, [this] {
        HandlerScope scope;
        emit m_collection.downloadBegin(m_handle);
    });
    connect(window, &W::downloadComplete, this, [this] {
        HandlerScope scope;
        emit m_collection.downloadComplete(m_handle);
    });
    connect(window, &W::commandStateChange, this,
            [this](int command, bool enable) { commandStateChanged(command, enable); });
    connect(window, &W::newWindow2, this, [this](bool& cancel) { newWindow(cancel); });
    connect(window, &W::windowsRefusedByPage, this, [this](int count, const QString& url) {
        HandlerScope scope;
        m_rules.countRefusedByPage(m_window.data(), count, url);
    });
    m_handle = window->hwnd();
    connectDocument();
    // Whether the window has forward history is not asked of the browser: it counts as none
    // until the browser says otherwise.
    m_canForward = false;
}

void WatchedWindow::connectDocument() {
    if (m_docConnected || !m_window || !m_window->hasDocument())
        return;
    using W = platform::BrowserWindow;
    connect(m_window.data(), &W::documentMouseDown, this, [this] { mouseDown(); });
    connect(m_window.data(), &W::documentMouseUp, this, [this] { mouseUp(); });
    connect(m_window.data(), &W::documentContextMenu, this, [this](bool&) { contextMenu(); });
    m_docConnected = true;
}

void WatchedWindow::beforeNavigate(platform::NavigationRequest& request) {
    HandlerScope scope;
    // The listener gets its own cancel flag: this program never cancels a navigation.
    bool cancel = request.cancel;
    emit m_collection.navigationBegin(m_handle, request.topLevel ? m_window.data() : nullptr,
                                      request.url, cancel);
}

void WatchedWindow::commandStateChanged(int command, bool enable) {
    HandlerScope scope;
    if (command == 1)
        m_canForward = enable;
    else if (command == 2)
        m_canBack = enable;
    emit m_collection.commandStateChange(m_handle, command, enable);
}

void WatchedWindow::documentComplete(const QString& url, bool topLevel) {
    HandlerScope scope;
    if (!topLevel)
        return;
    // A window that showed no page document when it was wrapped gets its document's mouse
    // events as soon as it shows one.
    connectDocument();
    emit m_collection.documentComplete(m_handle, m_window.data(), url);
}

void WatchedWindow::navigateComplete(const QString& url, bool topLevel) {
    HandlerScope scope;
    // A frame has no browser window of its own here: its events carry none.
    emit m_collection.navigationComplete(m_handle, topLevel ? m_window.data() : nullptr, url);
}

qint16 WatchedWindow::shiftState() const {
    qint16 shift = 0;
    // The last key found down wins; the values are not combined.
    if (m_shell.keyDown(platform::Key::Shift))
        shift = 1;
    if (m_shell.keyDown(platform::Key::Control))
        shift = 2;
    if (m_shell.keyDown(platform::Key::Alt))
        shift = 4;
    return shift;
}

void WatchedWindow::mouseDown() {
    HandlerScope scope;
    const QPoint pos = m_shell.cursorPosIn(m_handle);
    const bool left = m_shell.keyDown(platform::Key::LButton);
    if (left)
        m_leftDown = true; // the next release is the left button's
    const qint16 button = left ? 1 : 2;
    emit m_collection.mouseDown(m_handle, button, shiftState(), float(pos.x()), float(pos.y()));
}

void WatchedWindow::mouseUp() {
    HandlerScope scope;
    const QPoint pos = m_shell.cursorPosIn(m_handle);
    const qint16 button = m_leftDown ? 1 : 2;
    m_leftDown = false;
    emit m_collection.mouseUp(m_handle, button, shiftState(), float(pos.x()), float(pos.y()));
    m_rules.noteClick();
}

void WatchedWindow::contextMenu() {
    HandlerScope scope;
    emit m_collection.contextMenu(m_handle);
    m_rules.noteClick();
}

void WatchedWindow::newWindow(bool& cancel) {
    HandlerScope scope;
    if (m_rules.refuse(m_window.data()))
        cancel = true;
}

} // namespace watch
