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
// when `settle` runs (as a real window handles its close message later).
class FakeBrowserShell : public platform::BrowserShell {
    Q_OBJECT
public:
    explicit FakeBrowserShell(Transcript& t) : m_t(t) {}
    ~FakeBrowserShell() override;

    QList<platform::BrowserWindow*> windows() const override;
    bool postClose(platform::WindowHandle handle) override;
    bool keyDown(platform::Key key) const override;
    QPoint cursorPosIn(platform::WindowHandle handle) const override;
    std::optional<bool> newWindowGesture() const override { return gesture; }

    FakeBrowserWindow* window(platform::WindowHandle handle) const;
    /// A window appears (registered at once).
    FakeBrowserWindow* open(platform::WindowHandle handle);
    /// A page of `opener` asks for a new window; true when it was allowed (and opened).
    bool openFrom(platform::WindowHandle opener, platform::WindowHandle handle,
                  FakeBrowserWindow** created);
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

private:
    std::function<void(FakeBrowserWindow*)> m_prepare;
    Transcript& m_t;
    std::vector<std::unique_ptr<FakeBrowserWindow>> m_windows;
    std::vector<platform::WindowHandle> m_pendingClose;
    std::set<platform::Key> m_keys;
};

} // namespace fakes
