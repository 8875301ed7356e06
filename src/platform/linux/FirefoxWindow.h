#pragma once

#include "platform/Browser.h"

#include <QPoint>

namespace platform::linuxp {

// One top-level browsing context of Firefox (a tab or a pop-up window), answered from the
// adapter's snapshot. The adapter's parts keep it up to date: the snapshot its address, size
// and listing, the page events its title and document, the pop-up gate its admission.
class FirefoxWindow : public BrowserWindow {
    Q_OBJECT
public:
    FirefoxWindow(WindowHandle handle, QString context);

    WindowHandle hwnd() const override { return m_handle; }
    std::optional<QString> locationName() const override;
    std::optional<QString> locationURL() const override;
    std::optional<int> width() const override;
    std::optional<int> height() const override;
    bool hasDocument() const override;

    /// The browsing context's id.
    const QString& context() const { return m_context; }
    /// The browser window (client window) that shows it.
    const QString& clientWindow() const { return m_clientWindow; }

private:
    friend class FirefoxSnapshot;
    friend class FirefoxPages;
    friend class FirefoxPopupGate;

    WindowHandle m_handle;
    QString m_context;

    // The snapshot's.
    QString m_url;
    QString m_clientWindow;
    std::optional<int> m_width;
    std::optional<int> m_height;
    QPoint m_topLeft;
    bool m_registered = false;
    bool m_gone = false;
    quint64 m_registeredRound = 0;

    // The page events'.
    QString m_title;
    bool m_scriptReady = false;
};

} // namespace platform::linuxp
