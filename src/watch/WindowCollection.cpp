#include "watch/WindowCollection.h"

#include "watch/WatchedWindow.h"

namespace watch {

WindowCollection::WindowCollection(platform::BrowserShell& shell, PopupRules& rules)
    : m_shell(shell), m_rules(rules) {
    rebuild();
    connect(&m_shell, &platform::BrowserShell::windowRegistered, this, [this] {
        rebuild();
        emit windowRegistered();
    });
    connect(&m_shell, &platform::BrowserShell::windowRevoked, this, [this] {
        rebuild();
        emit windowRevoked();
    });
}

WindowCollection::~WindowCollection() {
    disconnect(&m_shell, nullptr, this, nullptr);
    m_windows.clear();
    m_retired.clear();
}

std::vector<WatchedWindow*> WindowCollection::windows() const {
    std::vector<WatchedWindow*> all;
    all.reserve(m_windows.size());
    for (const auto& w : m_windows)
        all.push_back(w.get());
    return all;
}

WatchedWindow* WindowCollection::find(platform::WindowHandle handle) const {
    for (const auto& w : m_windows)
        if (w->handle() == handle)
            return w.get();
    return nullptr;
}

void WindowCollection::add(platform::BrowserWindow* window) {
    if (!window)
        return;
    auto wrapper = std::make_unique<WatchedWindow>(*this, m_rules, m_shell);
    wrapper->watch(window);
    if (find(wrapper->handle())) {
        // Only the first window with a handle stays wrapped; this one hears nothing.
        retire(std::move(wrapper));
        return;
    }
    m_windows.push_back(std::move(wrapper));
}

void WindowCollection::retire(std::unique_ptr<WatchedWindow> wrapper) {
    wrapper->release();
    m_retired.push_back(std::move(wrapper));
}

void WindowCollection::dropRetired() {
    // A rebuild can start inside a wrapper's handler (a listener letting events run): that
    // wrapper is deleted only once no handler is on the stack any more.
    if (WatchedWindow::handlersRunning() == 0)
        m_retired.clear();
}

void WindowCollection::rebuild() {
    for (auto& w : m_windows)
        retire(std::move(w));
    m_windows.clear();
    for (platform::BrowserWindow* window : m_shell.windows())
        add(window);
    dropRetired();
}

} // namespace watch
