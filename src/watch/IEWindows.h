#pragma once

#include "platform/Browser.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <memory>
#include <utility>
#include <vector>

namespace app {
class FrmMain;
}

namespace watch {

class IE_Class;

namespace Events {
void RelayIEEvent(int kind, platform::WindowHandle& hwnd, const QVariantList& args);
}

// The collection of open browser windows: one wrapper per window, keyed by the decimal text
// of its handle, rebuilt whenever the shell registers or revokes a window. It raises the
// events of every wrapped window as its own, so one listener can follow them all.
class cIEWindows : public QObject {
    Q_OBJECT
public:
    explicit cIEWindows(app::FrmMain& f);
    ~cIEWindows() override;

    /// The entry at this 1-based position, or null when there is none.
    IE_Class* IE(int position);
    /// The entry under this key (a handle in decimal), or null when there is none.
    IE_Class* IE(const QString& key);
    int Count() const { return int(mCol.size()); }
    /// The entries in insertion order.
    std::vector<IE_Class*> NewEnum() const;
    /// Wraps one browser and adds it under its handle; null (and nothing kept) when another
    /// entry already has that handle or the browser cannot be wrapped.
    IE_Class* Add(platform::BrowserWindow* browser);
    void Remove(int position);
    void Remove(const QString& key);

signals:
    void IEWindowRegistered();
    void IEWindowRevoked();
    void IENavigationBegin(platform::WindowHandle hwnd, platform::BrowserWindow* pDisp,
                           const QString& URL, int Flags, const QString& TargetFrameName,
                           const QByteArray& PostData, const QString& Headers, bool& Cancel);
    void IENavigationComplete(platform::WindowHandle hwnd, platform::BrowserWindow* pDisp,
                              const QString& URL);
    void IEDocumentComplete(platform::WindowHandle hwnd, platform::BrowserWindow* pDisp,
                            const QString& URL);
    void IEDownloadBegin(platform::WindowHandle hwnd);
    void IEDownloadComplete(platform::WindowHandle hwnd);
    void IEOnContextMenu(platform::WindowHandle hwnd);
    void IEMouseDown(platform::WindowHandle hwnd, qint16 Button, qint16 Shift, float x, float Y);
    void IEMouseUp(platform::WindowHandle hwnd, qint16 Button, qint16 Shift, float x, float Y);
    void IECommandStateChange(platform::WindowHandle hwnd, qint32 Command, bool Enable);

private:
    friend void Events::RelayIEEvent(int kind, platform::WindowHandle& hwnd,
                                     const QVariantList& args);

    void Rebuild();
    void RaiseIEEvent(int kind, platform::WindowHandle& hwnd, const QVariantList& args);
    void winShell_WindowRegistered();
    void winShell_WindowRevoked();
    /// Lets pending events run while a rebuild is under way (bounded: on one thread a
    /// rebuild cannot end while its own caller waits).
    void waitWhileBusy();
    void retire(std::unique_ptr<IE_Class> wrapper);
    void dropRetired();

    app::FrmMain& f;
    std::vector<std::pair<QString, std::unique_ptr<IE_Class>>> mCol;
    // Wrappers taken out while one of their handlers may still be running.
    std::vector<std::unique_ptr<IE_Class>> m_retired;
    bool mBusy = false;
    platform::BrowserShell& winShell;
};

} // namespace watch
