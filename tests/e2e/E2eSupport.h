#pragma once

#include "platform/linux/ChromiumBrowser.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTemporaryDir>
#include <functional>
#include <map>
#include <memory>

namespace e2e {

/// A page whose button opens two 200 x 100 pop-ups (/popup.html?first and ?second) and whose
/// own timer counts `window.ticks`.
extern const QString kOpener;
/// The page those pop-ups show.
extern const QString kPopup;

/// Runs the event loop until `done` holds or `ms` passed; true when it held.
bool waitUntil(const std::function<bool()>& done, int ms = 10000);
/// Runs the event loop for `ms` (only where a test must show that nothing happens).
void spin(int ms);

// Pages served on 127.0.0.1 by the test itself; every requested path is recorded.
class LocalServer : public QObject {
    Q_OBJECT
public:
    LocalServer();
    QString url(const QString& path) const;
    void page(const QString& path, const QString& html) { m_pages[path] = html.toUtf8(); }
    /// The paths asked for so far, with their query.
    QStringList requested;
    bool wasRequested(const QString& fragment) const;

    // Cookies: set by a page's headers, and those each request carried.
    /// A header line sent with the page ("Set-Cookie: a=1; HttpOnly").
    void header(const QString& path, const QByteArray& line) { m_headers[path] += line + "\r\n"; }
    /// The Cookie header of each request, in the order of `requested` (empty when none).
    QList<QByteArray> cookiesSent;

private:
    std::map<QString, QByteArray> m_headers;
    std::map<QString, QByteArray> m_pages;
    std::map<QObject*, QByteArray> m_buffers;
    // Last, so that it goes first: the connections it owns still find their buffers when
    // they are destroyed with it.
    QTcpServer m_server;
};

// A headless Chromium launched by the adapter, with a fresh profile.
class Browser {
public:
    /// Why no browser can be started here, or empty.
    static QString unavailableReason();
    static platform::linuxp::ChromiumOptions headlessOptions(const QString& profile);

    /// `x11KeyState`: keys and buttons from the X server, as the program has them on a
    /// desktop (the tests take them from the pages' reports).
    explicit Browser(bool x11KeyState = false);
    bool started() const { return m_started; }
    QString error() const { return m_error; }
    platform::linuxp::ChromiumBrowser& shell() { return *m_shell; }

    /// Sends a command and waits for its answer (bounded).
    platform::linuxp::CdpReply command(const QString& method, const QJsonObject& params = {},
                                       const QString& sessionId = {}, int ms = 10000);
    /// Opens a tab at `url` and waits until the adapter lists it; its handle, or 0.
    platform::WindowHandle openTab(const QString& url);
    platform::linuxp::ChromiumWindow* window(platform::WindowHandle handle) const;
    /// Evaluates an expression in a page (no user gesture); its value.
    QJsonValue eval(platform::WindowHandle handle, const QString& expression);
    /// The same in a world of its own in the page's main frame, where the page's scripts do
    /// not reach and the page script never ran (the reporting function is still there).
    QJsonValue evalIsolated(platform::WindowHandle handle, const QString& expression,
                            int ms = 10000);
    /// A real left click at (x, y) in the page; `modifiers`: Alt 1, Ctrl 2, Meta 4, Shift 8.
    bool click(platform::WindowHandle handle, int x, int y, int modifiers = 0);
    bool listed(platform::WindowHandle handle) const;
    /// Handles of the listed windows.
    QList<platform::WindowHandle> handles() const;

private:
    QTemporaryDir m_profile;
    std::unique_ptr<platform::linuxp::ChromiumBrowser> m_shell;
    bool m_started = false;
    QString m_error;
};

} // namespace e2e

#define E2E_NEED_BROWSER(b)                                                                        \
    do {                                                                                           \
        if (const QString why = e2e::Browser::unavailableReason(); !why.isEmpty())                 \
            GTEST_SKIP() << "no Chromium to test against: " << why.toStdString();                  \
        ASSERT_TRUE((b).started()) << (b).error().toStdString();                                   \
    } while (0)
