#pragma once

#include "platform/linux/CdpKeyState.h"
#include "platform/linux/ChromiumWindow.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <map>

namespace platform::linuxp {

class ChromiumLauncher;
class ChromiumSnapshot;

// The DevTools session of each page and what runs in it. A session is set up with the page
// events and a script, injected into every document, that reports the user's mouse events
// through a binding; the page events become the window's navigation and load signals, the
// reports its mouse signals and the key and pointer state.
class ChromiumSessions : public QObject {
    Q_OBJECT
public:
    ChromiumSessions(ChromiumLauncher& launcher, ChromiumSnapshot& snapshot, bool useX11,
                     QObject* parent = nullptr);

    /// Remembers which target a session belongs to (pages only, admitted or not).
    void bind(const QString& sessionId, const QString& targetId);
    void unbind(const QString& sessionId);
    /// The target of a session; empty when unknown.
    QString targetOf(const QString& sessionId) const;
    /// The admitted window a session belongs to, if any.
    ChromiumWindow* window(const QString& sessionId) const;

    /// Gives the window its (new) session and sets it up: page events, binding, page script.
    /// The window's `m_onSetUp` runs once the script's answer is in.
    void setUp(ChromiumWindow& w, const QString& sessionId);
    void onDetached(const QString& sessionId);
    /// An event of a window's session.
    void onPageEvent(ChromiumWindow& w, const QString& method, const QJsonObject& params);
    /// The window was forgotten.
    void forget(WindowHandle handle, const QString& sessionId);
    /// The connection ended: no session is left.
    void reset() { m_sessionTarget.clear(); }

    /// For a while, the page refuses by itself the new windows it asks for without a user
    /// gesture (its page script answers window.open with no window).
    void holdPopups(const ChromiumWindow& w, int ms);

    bool keyDown(Key key) const { return m_keys.keyDown(key); }
    /// True when the key state comes from the pages' own reports rather than the X server.
    bool keysFromPages() const { return !m_keys.usesX11(); }
    /// Times a page's mouse reports were muted for flooding.
    int reportMutes() const { return m_mutes; }
    /// The pointer relative to the window: from the X server, else the position of the last
    /// mouse report if it came from this window.
    QPoint cursorPosIn(const ChromiumWindow& w) const;

private:
    void onBinding(ChromiumWindow& w, const QJsonObject& params);
    /// Whether a page's report is within what it may cost; mutes a flooding page.
    bool allowReport(ChromiumWindow& w);
    QString pageScript(const QString& binding, const QString& hold) const;

    ChromiumLauncher& m_launcher;
    ChromiumSnapshot& m_snapshot;
    QString m_scriptTemplate;
    QString m_bindingName; // random per run; each session adds a serial number
    QString m_holdName;    // likewise
    quint64 m_bindingSerial = 0;
    QElapsedTimer m_clock;
    int m_mutes = 0;
    std::map<QString, QString> m_sessionTarget;
    CdpKeyState m_keys;
    QPoint m_lastClient;
    WindowHandle m_lastEventWindow = 0;
};

} // namespace platform::linuxp
