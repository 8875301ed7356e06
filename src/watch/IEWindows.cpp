#include "watch/IEWindows.h"

#include "app/FrmMain.h"
#include "watch/Events.h"
#include "watch/IE_Class.h"

namespace watch {

namespace {
// Rounds of pending events a wait on a rebuild lets run before it goes on regardless.
constexpr int kMaxWaitRounds = 100;
} // namespace

cIEWindows::cIEWindows(app::FrmMain& form) : f(form), winShell(form.platform().browser) {
    Events::gCollectionPtr = this;
    Rebuild();
    connect(&winShell, &platform::BrowserShell::windowRegistered, this,
            [this] { winShell_WindowRegistered(); });
    connect(&winShell, &platform::BrowserShell::windowRevoked, this,
            [this] { winShell_WindowRevoked(); });
}

cIEWindows::~cIEWindows() {
    disconnect(&winShell, nullptr, this, nullptr);
    mCol.clear();
    m_retired.clear();
    if (Events::gCollectionPtr == this)
        Events::gCollectionPtr = nullptr;
}

void cIEWindows::waitWhileBusy() {
    for (int i = 0; mBusy && i < kMaxWaitRounds; ++i)
        f.platform().processes.processEvents();
}

IE_Class* cIEWindows::IE(int position) {
    waitWhileBusy();
    if (position < 1 || position > Count())
        return nullptr;
    return mCol[position - 1].second.get();
}

IE_Class* cIEWindows::IE(const QString& key) {
    waitWhileBusy();
    for (const auto& [k, wrapper] : mCol)
        if (k == key)
            return wrapper.get();
    return nullptr;
}

std::vector<IE_Class*> cIEWindows::NewEnum() const {
    std::vector<IE_Class*> entries;
    entries.reserve(mCol.size());
    for (const auto& entry : mCol)
        entries.push_back(entry.second.get());
    return entries;
}

IE_Class* cIEWindows::Add(platform::BrowserWindow* browser) {
    if (!browser)
        return nullptr;
    auto wrapper = std::make_unique<IE_Class>(f);
    wrapper->setIEctl(browser);
    const QString key = QString::number(wrapper->IEHandle());
    for (const auto& entry : mCol)
        if (entry.first == key) {
            // Only the first shell window with a handle stays wrapped; this one hears nothing.
            retire(std::move(wrapper));
            dropRetired();
            return nullptr;
        }
    mCol.emplace_back(key, std::move(wrapper));
    return mCol.back().second.get();
}

void cIEWindows::Remove(int position) {
    if (position < 1 || position > Count())
        return;
    auto wrapper = std::move(mCol[position - 1].second);
    mCol.erase(mCol.begin() + (position - 1));
    retire(std::move(wrapper));
    dropRetired();
}

void cIEWindows::Remove(const QString& key) {
    for (int i = 0; i < Count(); ++i)
        if (mCol[i].first == key) {
            Remove(i + 1);
            return;
        }
}

void cIEWindows::retire(std::unique_ptr<IE_Class> wrapper) {
    wrapper->release();
    m_retired.push_back(std::move(wrapper));
}

void cIEWindows::dropRetired() {
    // A rebuild can start inside a wrapper's handler (a listener letting events run): that
    // wrapper is deleted only once no handler is on the stack any more.
    if (IE_Class::handlersRunning() == 0)
        m_retired.clear();
}

void cIEWindows::Rebuild() {
    mBusy = true;
    for (auto& entry : mCol)
        retire(std::move(entry.second));
    mCol.clear();
    for (platform::BrowserWindow* browser : winShell.windows())
        Add(browser);
    mBusy = false;
    dropRetired();
}

void cIEWindows::winShell_WindowRegistered() {
    Rebuild();
    waitWhileBusy();
    emit IEWindowRegistered();
}

void cIEWindows::winShell_WindowRevoked() {
    Rebuild();
    waitWhileBusy();
    emit IEWindowRevoked();
}

void cIEWindows::RaiseIEEvent(int kind, platform::WindowHandle& hwnd, const QVariantList& a) {
    auto browserArg = [&](int i) {
        return qobject_cast<platform::BrowserWindow*>(a.value(i).value<QObject*>());
    };
    auto enough = [&](int n) { return a.size() >= n; };
    switch (kind) {
    case Events::BeforeNavigate2:
        if (enough(7)) {
            // The listener gets its own Cancel: cancelling is decided by the wrapper alone.
            bool Cancel = a.at(6).toBool();
            emit IENavigationBegin(hwnd, browserArg(0), a.at(1).toString(), a.at(2).toInt(),
                                   a.at(3).toString(), a.at(4).toByteArray(), a.at(5).toString(),
                                   Cancel);
        }
        break;
    case Events::NavigateComplete2:
        if (enough(2))
            emit IENavigationComplete(hwnd, browserArg(0), a.at(1).toString());
        break;
    case Events::DownloadBegin:
        emit IEDownloadBegin(hwnd);
        break;
    case Events::DownloadComplete:
        emit IEDownloadComplete(hwnd);
        break;
    case Events::DocumentComplete:
        if (enough(2))
            emit IEDocumentComplete(hwnd, browserArg(0), a.at(1).toString());
        break;
    case Events::MouseDown:
        if (enough(4))
            emit IEMouseDown(hwnd, qint16(a.at(0).toInt()), qint16(a.at(1).toInt()),
                             a.at(2).toFloat(), a.at(3).toFloat());
        break;
    case Events::MouseUp:
        if (enough(4))
            emit IEMouseUp(hwnd, qint16(a.at(0).toInt()), qint16(a.at(1).toInt()),
                           a.at(2).toFloat(), a.at(3).toFloat());
        break;
    case Events::ContextMenu:
        emit IEOnContextMenu(hwnd);
        break;
    case Events::CommandStateChange:
        if (enough(2))
            emit IECommandStateChange(hwnd, qint32(a.at(0).toInt()), a.at(1).toBool());
        break;
    default:
        break;
    }
}

namespace Events {

cIEWindows* gCollectionPtr = nullptr;

void RelayIEEvent(int kind, platform::WindowHandle& hwnd, const QVariantList& args) {
    if (kind < BeforeNavigate2 || kind > CommandStateChange)
        return;
    if (cIEWindows* collection = gCollectionPtr)
        collection->RaiseIEEvent(kind, hwnd, args);
}

} // namespace Events

} // namespace watch
