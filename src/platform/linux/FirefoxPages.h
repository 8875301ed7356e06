#pragma once

#include "platform/linux/CdpKeyState.h"
#include "platform/linux/FirefoxWindow.h"

#include <QJsonObject>
#include <map>
#include <optional>

namespace platform::linuxp {

class FirefoxLauncher;
class FirefoxSnapshot;

// One report of the page script: a mouse event, a page's title, or a call of the page's
// window.open (the address it asks for, then the call's end).
struct FirefoxPageReport {
    std::optional<CdpMouseReport> mouse;
    std::optional<QString> title;
    std::optional<QString> opening;
    bool opened = false;
};
/// Reads one report; neither field is set when it is not exactly what the script sends.
FirefoxPageReport parsePageReport(const QByteArray& payload);

// What runs in Firefox's pages and what they report. A preload script (`firefox-page-script.js`,
// built in through `firefox.qrc`) runs in a sandbox of every document and reports, through a
// script channel, the user's mouse events, the page's title and the address each window.open
// asks for; the browsing context events become the windows' navigation and load signals.
class FirefoxPages : public QObject {
    Q_OBJECT
public:
    FirefoxPages(FirefoxLauncher& launcher, FirefoxSnapshot& snapshot, bool useX11,
                 QObject* parent = nullptr);

    /// On a new session: the page script goes into every document made from now on.
    void setUp();
    /// Puts the page script into a document that existed before `setUp`.
    void inject(const QString& context);
    /// A newly admitted window: its documents report once the page script is in place.
    void prepare(FirefoxWindow& w) const { w.m_scriptReady = m_ready; }
    /// script.message
    void onMessage(const QJsonObject& params);
    /// The browsingContext navigation and load events.
    void onNavigation(const QString& method, const QJsonObject& params);
    /// The window was forgotten.
    void forget(WindowHandle handle);
    /// The connection ended.
    void reset() {
        m_ready = false;
        m_opening.clear();
    }

    /// The address a page of this window is asking window.open for, while the call lasts (the
    /// new window is announced meanwhile); empty when none.
    QString requestedUrl(WindowHandle opener) const;
    /// A page of the window holding `openerContext` has had its new window announced: what it
    /// asked for is no longer being asked.
    void windowMade(const QString& openerContext);

    bool keyDown(Key key) const { return m_keys.keyDown(key); }
    /// The pointer relative to the window: from the X server, else the position of the last
    /// mouse report if it came from this window.
    QPoint cursorPosIn(const FirefoxWindow& w) const;

private:
    QJsonObject channelArgument() const;
    void onMouse(FirefoxWindow& w, const CdpMouseReport& report);

    FirefoxLauncher& m_launcher;
    FirefoxSnapshot& m_snapshot;
    QString m_script;
    QString m_channel; // random per run
    bool m_ready = false;
    CdpKeyState m_keys;
    QPoint m_lastClient;
    WindowHandle m_lastEventWindow = 0;
    std::map<WindowHandle, QString> m_opening; // by top window: a window.open being called
};

} // namespace platform::linuxp
