#pragma once

#include "platform/Browser.h"

#include <QPoint>
#include <functional>

namespace platform::linuxp {

// One page target (a tab or a pop-up window), answered from the adapter's snapshot. The
// adapter's parts keep it up to date: the snapshot its title, address, size and listing, the
// sessions its session and page script, the pop-up gate its admission.
class ChromiumWindow : public BrowserWindow {
    Q_OBJECT
public:
    ChromiumWindow(WindowHandle handle, QString targetId);

    WindowHandle hwnd() const override { return m_handle; }
    std::optional<QString> locationName() const override;
    std::optional<QString> locationURL() const override;
    std::optional<int> width() const override;
    std::optional<int> height() const override;
    bool hasDocument() const override;

    const QString& targetId() const { return m_targetId; }
    const QString& sessionId() const { return m_sessionId; }
    const QString& bindingName() const { return m_binding; }

private:
    friend class ChromiumSnapshot;
    friend class ChromiumSessions;
    friend class ChromiumPopupGate;

    WindowHandle m_handle;
    QString m_targetId;
    QString m_sessionId; // empty while detached

    // The snapshot's.
    QString m_title;
    QString m_url;
    std::optional<int> m_width;
    std::optional<int> m_height;
    QPoint m_topLeft;
    bool m_registered = false;
    bool m_gone = false;
    quint64 m_registeredRound = 0;
    qint64 m_attachAskedAt = 0;

    // The session's.
    QString m_mainFrameId;
    QString m_binding;
    QString m_hold; // the page script's function that refuses gesture-less window.open calls
    bool m_scriptReady = false;
    bool m_scriptAnswered = false;
    std::function<void()> m_onSetUp; // runs once the page script's answer is in
    // What the page's mouse reports may still cost: reports in hand, when last counted, how
    // many were dropped since, and until when the browser is told not to send any.
    double m_reportTokens = 0;
    qint64 m_reportsCountedAt = -1;
    int m_reportsDropped = 0;
    qint64 m_reportsMutedUntil = 0;

    // The gate's.
    bool m_boundsAnswered = false;
};

} // namespace platform::linuxp
