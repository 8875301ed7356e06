#pragma once

#include "platform/Browser.h"

#include <QObject>
#include <QPointer>

namespace app {
class FrmMain;
}

namespace watch {

/// A forward probe is pending: the next navigation of any wrapped browser is cancelled.
extern bool gProbeNavigation;
/// A click was made in a page since the last new-window decision; allows one new window.
extern bool gUserClick;

// One open browser window and the document it shows: relays their events to the collection
// and applies the pop-up rules when the page asks for a new window.
class IE_Class : public QObject {
    Q_OBJECT
public:
    explicit IE_Class(app::FrmMain& f);
    ~IE_Class() override;

    bool EnableForward() const { return m_enableForward; }
    bool EnableBack() const { return m_enableBack; }
    /// Wraps a browser: connects its events and reads its handle once.
    void setIEctl(platform::BrowserWindow* IncomeIE);
    platform::BrowserWindow* IEctl() const { return IE.data(); }
    platform::WindowHandle IEHandle() const { return m_IEHandle; }
    /// True while the document's mouse events reach this wrapper.
    bool hasDocumentEvents() const { return m_docConnected; }

    /// Ends every event link (the collection retires the wrapper).
    void release();
    /// Number of wrapper handlers on the call stack: a wrapper must outlive its own handler.
    static int handlersRunning();

    // Browser and document events.
    void IE_BeforeNavigate2(platform::NavigationRequest& request);
    void IE_CommandStateChange(int Command, bool Enable);
    void IE_DocumentComplete(const QString& URL, bool topLevel);
    void IE_DownloadBegin();
    void IE_DownloadComplete();
    void IE_NavigateComplete2(const QString& URL, bool topLevel);
    void IE_NewWindow2(bool& Cancel);
    void IEDoc_onmousedown();
    void IEDoc_onmouseup();
    bool IEDoc_oncontextmenu();

private:
    void connectDocument();
    qint16 shiftState() const;

    app::FrmMain& f;
    QPointer<platform::BrowserWindow> IE;
    platform::WindowHandle m_IEHandle = 0;
    bool m_docConnected = false;
    bool m_enableBack = false;
    bool m_enableForward = false;
    bool mLeftDown = false;
    bool mRightDown = false;
};

} // namespace watch
