#pragma once

#include "E2eSupport.h"
#include "platform/linux/FirefoxBrowser.h"

#include <QJsonValue>
#include <QTemporaryDir>
#include <memory>
#include <ostream>

// Texts in failures as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace e2e {

// A headless Firefox launched by the adapter, with a fresh profile.
class Firefox {
public:
    /// The Firefox the tests run: TAVREL_E2E_FIREFOX, else firefox-esr or firefox on the PATH.
    static QString program();
    /// Why no Firefox can be started here, or empty.
    static QString unavailableReason();
    static platform::linuxp::FirefoxOptions headlessOptions(const QString& profile);

    explicit Firefox(platform::linuxp::PopupGuard guard = platform::linuxp::PopupGuard::Strict);
    bool started() const { return m_started; }
    QString error() const { return m_error; }
    platform::linuxp::FirefoxBrowser& shell() { return *m_shell; }

    /// Sends a command and waits for its answer (bounded).
    platform::linuxp::BidiReply command(const QString& method, const QJsonObject& params = {},
                                        int ms = 10000);
    /// Opens a tab at `url` and waits until the adapter lists it with its page loaded; its
    /// handle, or 0.
    platform::WindowHandle openTab(const QString& url);
    platform::linuxp::FirefoxWindow* window(platform::WindowHandle handle) const;
    /// Evaluates an expression in a page (no user gesture); its value when it is a number,
    /// a string, a boolean or null.
    QJsonValue eval(platform::WindowHandle handle, const QString& expression);
    /// A real left click at (x, y) in the page, with Control held when `control`.
    bool click(platform::WindowHandle handle, int x, int y, bool control = false);
    bool listed(platform::WindowHandle handle) const;
    /// Handles of the listed windows.
    QList<platform::WindowHandle> handles() const;

private:
    QTemporaryDir m_profile;
    std::unique_ptr<platform::linuxp::FirefoxBrowser> m_shell;
    bool m_started = false;
    QString m_error;
};

} // namespace e2e

#define E2E_NEED_FIREFOX(b)                                                                        \
    do {                                                                                           \
        if (const QString why = e2e::Firefox::unavailableReason(); !why.isEmpty())                 \
            GTEST_SKIP() << "no Firefox to test against: " << why.toStdString();                   \
        ASSERT_TRUE((b).started()) << (b).error().toStdString();                                   \
    } while (0)
