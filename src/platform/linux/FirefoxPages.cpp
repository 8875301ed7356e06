#include "platform/linux/FirefoxPages.h"

#include "platform/linux/CdpJson.h"
#include "platform/linux/FirefoxLauncher.h"
#include "platform/linux/FirefoxSnapshot.h"

#include <QFile>
#include <QJsonDocument>
#include <QPointer>
#include <QRandomGenerator>

// The page script, read once. The resources of a static library are registered by hand,
// outside any namespace.
static const QString& firefoxPageScript() {
    static const QString script = [] {
        Q_INIT_RESOURCE(firefox);
        QFile file(QStringLiteral(":/tavrel/firefox/firefox-page-script.js"));
        if (!file.open(QIODevice::ReadOnly)) {
            qWarning("Tavrel: the page script is missing from the program; no clicks are seen");
            return QString();
        }
        QString text = QString::fromUtf8(file.readAll());
        // The file's leading comment stays here.
        while (text.startsWith(u"//")) {
            const qsizetype end = text.indexOf(u'\n');
            text = end < 0 ? QString() : text.mid(end + 1);
        }
        return text;
    }();
    return script;
}

namespace platform::linuxp {

using cdp::str;

namespace {

// The sandbox the page script runs in, in every document.
const QString kSandbox = QStringLiteral("tavrel");
// Longest report accepted (a title of 2048 characters, every one escaped).
constexpr qsizetype kMaxReport = 16 * 1024;
constexpr qsizetype kMaxTitle = 2048;
// Longest address a window.open report carries (the script sends none longer).
constexpr qsizetype kMaxUrl = 8192;

} // namespace

FirefoxPageReport parsePageReport(const QByteArray& payload) {
    FirefoxPageReport r;
    if (payload.size() > kMaxReport)
        return r;
    const QJsonDocument doc = QJsonDocument::fromJson(payload);
    if (!doc.isObject())
        return r;
    const QJsonObject o = doc.object();
    const QString type = o.value(QStringLiteral("type")).toString();
    if (type == u"title") {
        const QJsonValue title = o.value(QStringLiteral("title"));
        if (o.size() == 2 && title.isString() && title.toString().size() <= kMaxTitle)
            r.title = title.toString();
        return r;
    }
    if (type == u"open") {
        const QJsonValue url = o.value(QStringLiteral("url"));
        if (o.size() == 2 && url.isString() && url.toString().size() <= kMaxUrl)
            r.opening = url.toString();
        return r;
    }
    if (type == u"opened") {
        r.opened = o.size() == 1;
        return r;
    }
    r.mouse = parseMouseReport(payload);
    return r;
}

FirefoxPages::FirefoxPages(FirefoxLauncher& launcher, FirefoxSnapshot& snapshot, bool useX11,
                           QObject* parent)
    : QObject(parent), m_launcher(launcher), m_snapshot(snapshot), m_script(firefoxPageScript()),
      m_keys(useX11) {
    QByteArray nonce(8, Qt::Uninitialized);
    for (char& c : nonce)
        c = char(QRandomGenerator::global()->bounded(256));
    m_channel = QStringLiteral("tavrel-") + QString::fromLatin1(nonce.toHex());
}

QJsonObject FirefoxPages::channelArgument() const {
    return QJsonObject{
        {QStringLiteral("type"), QStringLiteral("channel")},
        {QStringLiteral("value"), QJsonObject{{QStringLiteral("channel"), m_channel}}}};
}

void FirefoxPages::setUp() {
    const quint64 generation = m_launcher.generation();
    m_launcher.send(QStringLiteral("script.addPreloadScript"),
                    QJsonObject{{QStringLiteral("functionDeclaration"), m_script},
                                {QStringLiteral("arguments"), QJsonArray{channelArgument()}},
                                {QStringLiteral("sandbox"), kSandbox}},
                    [this, generation](const BidiReply& reply) {
                        if (generation != m_launcher.generation())
                            return;
                        if (!reply.ok) {
                            qWarning("Tavrel: Firefox refused the page script: %s",
                                     qPrintable(reply.error));
                            return;
                        }
                        m_ready = true;
                        for (FirefoxWindow* w : m_snapshot.admitted())
                            w->m_scriptReady = true;
                    });
}

void FirefoxPages::inject(const QString& context) {
    m_launcher.send(QStringLiteral("script.callFunction"),
                    QJsonObject{{QStringLiteral("functionDeclaration"), m_script},
                                {QStringLiteral("awaitPromise"), false},
                                {QStringLiteral("arguments"), QJsonArray{channelArgument()}},
                                {QStringLiteral("target"),
                                 QJsonObject{{QStringLiteral("context"), context},
                                             {QStringLiteral("sandbox"), kSandbox}}}});
}

void FirefoxPages::forget(WindowHandle handle) {
    if (m_lastEventWindow == handle)
        m_lastEventWindow = 0;
    m_opening.erase(handle);
}

// --- Reports -----------------------------------------------------------------------------------

void FirefoxPages::onMessage(const QJsonObject& params) {
    if (str(params, "channel") != m_channel)
        return;
    const QJsonObject data = params.value(QStringLiteral("data")).toObject();
    const QJsonValue value = data.value(QStringLiteral("value"));
    if (str(data, "type") != u"string" || !value.isString() || value.toString().size() > kMaxReport)
        return;
    const QString context = str(params.value(QStringLiteral("source")).toObject(), "context");
    FirefoxWindow* w = m_snapshot.windowOf(context);
    if (!w)
        return;
    const FirefoxPageReport report = parsePageReport(value.toString().toUtf8());
    if (report.opening) {
        // Firefox announces the new window before the call returns: what the script says here
        // is the address of the window announced while the call lasts (the script opens
        // exactly the address it reports).
        m_opening[w->hwnd()] = *report.opening;
    } else if (report.opened) {
        m_opening.erase(w->hwnd());
    } else if (report.title) {
        // Only a page's own document names it, not one of its frames.
        if (context == w->context())
            w->m_title = *report.title;
    } else if (report.mouse && w->m_registered) {
        onMouse(*w, *report.mouse);
    }
}

void FirefoxPages::onMouse(FirefoxWindow& w, const CdpMouseReport& report) {
    m_keys.noteReport(report);
    m_lastClient = report.client;
    m_lastEventWindow = w.hwnd();
    switch (report.type) {
    case CdpMouseReport::Type::Down:
        emit w.documentMouseDown();
        break;
    case CdpMouseReport::Type::Up:
        emit w.documentMouseUp();
        break;
    case CdpMouseReport::Type::ContextMenu: {
        // The page's menu has been shown or suppressed by the time the report arrives.
        bool allow = true;
        emit w.documentContextMenu(allow);
        break;
    }
    }
}

QString FirefoxPages::requestedUrl(WindowHandle opener) const {
    const auto it = m_opening.find(opener);
    return it == m_opening.end() ? QString() : it->second;
}

void FirefoxPages::windowMade(const QString& openerContext) {
    if (openerContext.isEmpty())
        return;
    if (const FirefoxWindow* w = m_snapshot.windowOf(openerContext))
        m_opening.erase(w->hwnd());
}

QPoint FirefoxPages::cursorPosIn(const FirefoxWindow& w) const {
    if (auto screen = m_keys.pointerOnScreen())
        return *screen - w.m_topLeft;
    return w.hwnd() == m_lastEventWindow ? m_lastClient : QPoint();
}

// --- Navigation --------------------------------------------------------------------------------

void FirefoxPages::onNavigation(const QString& method, const QJsonObject& params) {
    const QString context = str(params, "context");
    FirefoxWindow* w = m_snapshot.windowOf(context);
    if (!w)
        return;
    const bool top = context == w->context();
    const QString url = str(params, "url");
    if (top && method != u"browsingContext.navigationStarted" &&
        method != u"browsingContext.navigationFailed")
        w->m_url = url; // committed, moved within the page, or loaded
    // A document that replaces a window's first, blank one keeps that window, and Firefox
    // runs no preload script for it: it gets the page script now (a document that has it
    // already ignores it).
    if (method == u"browsingContext.navigationCommitted" && m_ready)
        inject(context);
    if (!w->m_registered)
        return;
    QPointer<FirefoxWindow> alive(w);
    if (method == u"browsingContext.navigationStarted") {
        NavigationRequest request;
        request.url = url;
        request.topLevel = top;
        emit w->beforeNavigate2(request);
        if (alive && top)
            emit w->downloadBegin();
    } else if (method == u"browsingContext.navigationCommitted") {
        emit w->navigateComplete2(url, top);
    } else if (method == u"browsingContext.navigationFailed") {
        if (top)
            emit w->downloadComplete();
    } else if (method == u"browsingContext.load") {
        if (top)
            emit w->downloadComplete();
        if (alive)
            emit w->documentComplete(url, top);
    }
}

} // namespace platform::linuxp
