#include "watch/IE_Class.h"

#include "app/FrmMain.h"
#include "app/Switches.h"
#include "keywords/ListViews.h"
#include "watch/Events.h"

namespace watch {

bool gProbeNavigation = false;
bool gUserClick = false;

namespace {

int g_handlersRunning = 0;

// Marks a wrapper handler as running, so that the collection keeps the wrapper alive until
// the handler has returned.
class HandlerScope {
public:
    HandlerScope() { ++g_handlersRunning; }
    ~HandlerScope() { --g_handlersRunning; }
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
};

QVariant browserArg(platform::BrowserWindow* browser, bool topLevel) {
    // A frame has no browser object of its own here: its events carry none.
    return QVariant::fromValue<QObject*>(topLevel ? browser : nullptr);
}

} // namespace

int IE_Class::handlersRunning() {
    return g_handlersRunning;
}

IE_Class::IE_Class(app::FrmMain& form) : f(form) {}

IE_Class::~IE_Class() {
    release();
}

void IE_Class::release() {
    if (IE)
        disconnect(IE.data(), nullptr, this, nullptr);
    IE.clear();
    m_docConnected = false;
}

void IE_Class::setIEctl(platform::BrowserWindow* IncomeIE) {
    release();
    if (!IncomeIE)
        return;
    IE = IncomeIE;
    using W = platform::BrowserWindow;
    connect(IncomeIE, &W::beforeNavigate2, this,
            [this](platform::NavigationRequest& r) { IE_BeforeNavigate2(r); });
    connect(IncomeIE, &W::navigateComplete2, this,
            [this](const QString& url, bool top) { IE_NavigateComplete2(url, top); });
    connect(IncomeIE, &W::documentComplete, this,
            [this](const QString& url, bool top) { IE_DocumentComplete(url, top); });
    connect(IncomeIE, &W::downloadBegin, this, [this] { IE_DownloadBegin(); });
    connect(IncomeIE, &W::downloadComplete, this, [this] { IE_DownloadComplete(); });
    connect(IncomeIE, &W::commandStateChange, this,
            [this](int command, bool enable) { IE_CommandStateChange(command, enable); });
    connect(IncomeIE, &W::newWindow2, this, [this](bool& cancel) { IE_NewWindow2(cancel); });
    m_IEHandle = IncomeIE->hwnd();
    connectDocument();

    // Forward probe. Going forward and cancelling that navigation, then sending the stop
    // command, would disturb the window at every rebuild: a browser that does not cancel its
    // history navigation in time shows another page, and the stop breaks off a load the user
    // started. Its outcome is known without asking the browser: forward navigation counts as
    // impossible until the browser says otherwise, and no probe stays pending to cancel
    // somebody's next navigation or to hide the next context menu.
    m_enableForward = false;
    gProbeNavigation = false;
}

void IE_Class::connectDocument() {
    if (m_docConnected || !IE || !IE->hasDocument())
        return;
    using W = platform::BrowserWindow;
    connect(IE.data(), &W::documentMouseDown, this, [this] { IEDoc_onmousedown(); });
    connect(IE.data(), &W::documentMouseUp, this, [this] { IEDoc_onmouseup(); });
    connect(IE.data(), &W::documentContextMenu, this,
            [this](bool& allow) { allow = IEDoc_oncontextmenu(); });
    m_docConnected = true;
}

void IE_Class::IE_BeforeNavigate2(platform::NavigationRequest& request) {
    HandlerScope scope;
    Events::RelayIEEvent(Events::BeforeNavigate2, m_IEHandle,
                         {browserArg(IE.data(), request.topLevel), request.url, request.flags,
                          request.targetFrameName, request.postData, request.headers,
                          request.cancel});
    if (gProbeNavigation) {
        request.cancel = true;
        gProbeNavigation = false;
    }
}

void IE_Class::IE_CommandStateChange(int Command, bool Enable) {
    HandlerScope scope;
    if (Command == 1)
        m_enableForward = Enable;
    else if (Command == 2)
        m_enableBack = Enable;
    Events::RelayIEEvent(Events::CommandStateChange, m_IEHandle, {Command, Enable});
}

void IE_Class::IE_DocumentComplete(const QString& URL, bool topLevel) {
    HandlerScope scope;
    if (!topLevel)
        return;
    // A window that showed no page document when it was wrapped gets its document's mouse
    // events as soon as it shows one.
    connectDocument();
    Events::RelayIEEvent(Events::DocumentComplete, m_IEHandle, {browserArg(IE.data(), true), URL});
}

void IE_Class::IE_DownloadBegin() {
    HandlerScope scope;
    Events::RelayIEEvent(Events::DownloadBegin, m_IEHandle);
}

void IE_Class::IE_DownloadComplete() {
    HandlerScope scope;
    Events::RelayIEEvent(Events::DownloadComplete, m_IEHandle);
}

void IE_Class::IE_NavigateComplete2(const QString& URL, bool topLevel) {
    HandlerScope scope;
    Events::RelayIEEvent(Events::NavigateComplete2, m_IEHandle,
                         {browserArg(IE.data(), topLevel), URL});
}

qint16 IE_Class::shiftState() const {
    const platform::BrowserShell& shell = f.platform().browser;
    qint16 shift = 0;
    // The last key found down wins; the values are not combined.
    if (shell.keyDown(platform::Key::Shift))
        shift = 1;
    if (shell.keyDown(platform::Key::Control))
        shift = 2;
    if (shell.keyDown(platform::Key::Alt))
        shift = 4;
    return shift;
}

void IE_Class::IEDoc_onmousedown() {
    HandlerScope scope;
    const platform::BrowserShell& shell = f.platform().browser;
    const QPoint pos = shell.cursorPosIn(m_IEHandle);
    qint16 button;
    if (shell.keyDown(platform::Key::LButton)) {
        button = 1;
        mLeftDown = true;
    } else {
        button = 2;
        mRightDown = true;
    }
    Events::RelayIEEvent(Events::MouseDown, m_IEHandle,
                         {button, shiftState(), float(pos.x()), float(pos.y())});
}

void IE_Class::IEDoc_onmouseup() {
    HandlerScope scope;
    const QPoint pos = f.platform().browser.cursorPosIn(m_IEHandle);
    qint16 button;
    if (mLeftDown) {
        button = 1;
        mLeftDown = false;
    } else {
        button = 2;
        mRightDown = false;
    }
    Events::RelayIEEvent(Events::MouseUp, m_IEHandle,
                         {button, shiftState(), float(pos.x()), float(pos.y())});
    gUserClick = true;
}

bool IE_Class::IEDoc_oncontextmenu() {
    HandlerScope scope;
    Events::RelayIEEvent(Events::ContextMenu, m_IEHandle);
    // The page's own menu is suppressed only while a forward probe is pending.
    const bool allow = !gProbeNavigation;
    gProbeNavigation = false;
    gUserClick = true;
    return allow;
}

void IE_Class::IE_NewWindow2(bool& Cancel) {
    HandlerScope scope;
    platform::BrowserShell& shell = f.platform().browser;

    // Size rule: a small window asking for a new one is refused. A size that cannot be read
    // is not taken for 0: it refuses nothing.
    if (f.popupSizeRuleSwitch.value() == 1 && IE) {
        const std::optional<int> w = IE->width();
        const std::optional<int> h = IE->height();
        if (w && h && *w <= f.gLimitWidth && *h <= f.gLimitHeight) {
            Cancel = true;
            f.statusBar.setSimpleText(QStringLiteral("Fermeture par taille de fenêtre L=") +
                                      QString::number(*w) + QStringLiteral(" H=:") +
                                      QString::number(*h));
            ++f.gClosureTotals[3];
            f.listViews().showTotals();
            f.switches().PlayClosureSound();
        }
    }

    // Control held: the user asks for this window; the click allowance is kept for later.
    if (shell.keyDown(platform::Key::Control))
        return;

    // Automatic rule: one new window per click in a page.
    if (f.gAutoClose) {
        if (!gUserClick) {
            Cancel = true;
            f.flashTimer.setEnabled(true);
            f.statusBar.setSimpleText(QStringLiteral("Fermeture automatique de la fenêtre"));
            ++f.gClosureTotals[1];
            f.listViews().showTotals();
            f.switches().PlayClosureSound();
        }
        gUserClick = false;
    }
}

} // namespace watch
