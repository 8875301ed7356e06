#pragma once

#include "platform/Browser.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QPoint>
#include <optional>

namespace platform::linuxp {

// What a page's injected script reports about one mouse event. The page can see and call
// the reporting function itself, so every field is checked before use.
struct CdpMouseReport {
    enum class Type { Down, Up, ContextMenu };
    Type type = Type::Down;
    int button = 0;  // DOM numbering: 0 left, 1 middle, 2 right
    int buttons = 0; // DOM bit mask of the buttons held after the event
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
    QPoint client; // position in the page's viewport
};

/// Reads one report; nothing when it is not exactly what the script sends.
std::optional<CdpMouseReport> parseMouseReport(const QByteArray& payload);

// What a page's injected script reports about the windows it refused itself: how many since
// its last report (1 to 500) and the address the last one asked for (at most 300 characters).
struct PageRefusalReport {
    int count = 0;
    QString url;
};

/// Reads one refusal report; nothing when it is not exactly what the script sends.
std::optional<PageRefusalReport> parseRefusalReport(const QByteArray& payload);

// The keyboard and mouse button state: from the X server when a display can be opened, else
// from the last mouse event a page reported.
class CdpKeyState {
public:
    /// `useX11` false skips the display even when one is there.
    explicit CdpKeyState(bool useX11);
    ~CdpKeyState();
    CdpKeyState(const CdpKeyState&) = delete;
    CdpKeyState& operator=(const CdpKeyState&) = delete;

    bool usesX11() const { return m_display != nullptr; }
    bool keyDown(Key key) const;
    /// The pointer on the screen, when the X server tells it.
    std::optional<QPoint> pointerOnScreen() const;
    /// Remembers the state a page event reported.
    void noteReport(const CdpMouseReport& report);
    /// Page-reported state older than this no longer counts as held.
    static constexpr int kReportLifetimeMs = 2000;

private:
    void* m_display = nullptr; // Display*, kept out of this header (X11 macros clash with Qt)
    CdpMouseReport m_last;
    QElapsedTimer m_lastAt;
};

} // namespace platform::linuxp
