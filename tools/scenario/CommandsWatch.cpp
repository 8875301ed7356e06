#include "tools/scenario/Commands.h"

#include "watch/WatchedWindow.h"
#include "watch/WindowCollection.h"

namespace scenario {

namespace {

using fakes::FakeBrowserWindow;
using fakes::quote;
using platform::WindowHandle;

FakeBrowserWindow& windowOf(ScenarioRunner& runner, const Word& id) {
    FakeBrowserWindow* w = runner.fake().browser.window(WindowHandle(toInt(id)));
    if (!w)
        throw LineError{QStringLiteral("no such window")};
    return *w;
}

watch::WindowCollection& collection(ScenarioRunner& runner) {
    watch::WindowCollection* c = runner.program().windowCollection();
    if (!c)
        throw LineError{QStringLiteral("no window collection")};
    return *c;
}

QString entries(const watch::WindowCollection& c) {
    QString text = QString::number(c.count()) + QStringLiteral(" entries");
    for (const watch::WatchedWindow* w : c.windows())
        text += u' ' + QString::number(w->handle());
    return text;
}

QString mouse(qint16 button, qint16 shift, float x, float y) {
    return QStringLiteral("button=%1 shift=%2 x=%3 y=%4").arg(button).arg(shift).arg(x).arg(y);
}

// Prints every event the collection raises, as it is raised, under the event names of the
// transcripts.
void listen(ScenarioRunner& runner) {
    watch::WindowCollection& c = collection(runner);
    using C = watch::WindowCollection;
    auto print = [&runner](const QString& line) { runner.print(QStringLiteral("event ") + line); };
    auto where = [](platform::BrowserWindow* window) {
        return window ? QStringLiteral("window %1").arg(window->hwnd()) : QStringLiteral("frame");
    };
    QObject::connect(&c, &C::windowRegistered, &c,
                     [print, &c] { print(QStringLiteral("IEWindowRegistered: ") + entries(c)); });
    QObject::connect(&c, &C::windowRevoked, &c,
                     [print, &c] { print(QStringLiteral("IEWindowRevoked: ") + entries(c)); });
    QObject::connect(&c, &C::navigationBegin, &c,
                     [print, where](WindowHandle h, platform::BrowserWindow* window,
                                    const QString& url, bool& cancel) {
                         print(QStringLiteral("IENavigationBegin %1 %2 %3 cancel=%4")
                                   .arg(h)
                                   .arg(where(window), quote(url))
                                   .arg(int(cancel)));
                     });
    QObject::connect(
        &c, &C::navigationComplete, &c,
        [print, where](WindowHandle h, platform::BrowserWindow* window, const QString& url) {
            print(QStringLiteral("IENavigationComplete %1 %2 %3")
                      .arg(h)
                      .arg(where(window), quote(url)));
        });
    QObject::connect(
        &c, &C::documentComplete, &c,
        [print, where](WindowHandle h, platform::BrowserWindow* window, const QString& url) {
            print(QStringLiteral("IEDocumentComplete %1 %2 %3")
                      .arg(h)
                      .arg(where(window), quote(url)));
        });
    QObject::connect(&c, &C::downloadBegin, &c, [print](WindowHandle h) {
        print(QStringLiteral("IEDownloadBegin %1").arg(h));
    });
    QObject::connect(&c, &C::downloadComplete, &c, [print](WindowHandle h) {
        print(QStringLiteral("IEDownloadComplete %1").arg(h));
    });
    QObject::connect(&c, &C::contextMenu, &c, [print](WindowHandle h) {
        print(QStringLiteral("IEOnContextMenu %1").arg(h));
    });
    QObject::connect(&c, &C::mouseDown, &c,
                     [print](WindowHandle h, qint16 b, qint16 s, float x, float y) {
                         print(QStringLiteral("IEMouseDown %1 ").arg(h) + mouse(b, s, x, y));
                     });
    QObject::connect(&c, &C::mouseUp, &c,
                     [print](WindowHandle h, qint16 b, qint16 s, float x, float y) {
                         print(QStringLiteral("IEMouseUp %1 ").arg(h) + mouse(b, s, x, y));
                     });
    QObject::connect(&c, &C::commandStateChange, &c,
                     [print](WindowHandle h, qint32 command, bool enable) {
                         print(QStringLiteral("IECommandStateChange %1 command=%2 enable=%3")
                                   .arg(h)
                                   .arg(command)
                                   .arg(int(enable)));
                     });
}

} // namespace

void registerWatchCommands(ScenarioRunner& runner) {
    runner.addCommand("watch", [&runner](const auto& a) {
        need(a, 1);
        const QString verb = a[0].text;
        if (verb == u"listen") {
            listen(runner);
        } else if (verb == u"entries") {
            const watch::WindowCollection& c = collection(runner);
            runner.print(QStringLiteral("IEWin: %1 entries").arg(c.count()));
            int position = 0;
            for (const watch::WatchedWindow* w : c.windows())
                runner.print(QStringLiteral("  %1 %2 forward=%3 back=%4 doc=%5")
                                 .arg(++position)
                                 .arg(quote(QString::number(w->handle())))
                                 .arg(int(w->canGoForward()))
                                 .arg(int(w->canGoBack()))
                                 .arg(int(w->hasDocumentEvents())));
        } else if (verb == u"navigate") {
            need(a, 2);
            FakeBrowserWindow& w = windowOf(runner, a[1]);
            QString url;
            bool topLevel = true;
            for (std::size_t i = 2; i < a.size(); ++i) {
                if (a[i].key == u"url")
                    url = a[i].text;
                else if (a[i].key.isEmpty() && a[i].text == u"frame")
                    topLevel = false;
                else
                    throw LineError{QStringLiteral("unknown navigate option")};
            }
            const bool done = w.navigate(url, topLevel);
            runner.print(QStringLiteral("navigate %1: %2")
                             .arg(w.hwnd())
                             .arg(done ? QStringLiteral("loaded") : QStringLiteral("cancelled")));
        } else if (verb == u"download") {
            need(a, 3);
            FakeBrowserWindow& w = windowOf(runner, a[1]);
            if (a[2].text == u"begin")
                emit w.downloadBegin();
            else if (a[2].text == u"end")
                emit w.downloadComplete();
            else
                throw LineError{QStringLiteral("begin or end")};
        } else if (verb == u"command") {
            need(a, 4);
            FakeBrowserWindow& w = windowOf(runner, a[1]);
            emit w.commandStateChange(toInt(a[2]), toInt(a[3]) != 0);
        } else if (verb == u"twin") {
            // A second shell window that reports the same top-level handle as an open one.
            need(a, 2);
            FakeBrowserWindow& first = windowOf(runner, a[1]);
            runner.fake().browser.prepareNext([&first, &a](FakeBrowserWindow* w) {
                w->title = first.title;
                w->url = first.url;
                for (std::size_t i = 2; i < a.size(); ++i)
                    if (a[i].key == u"title")
                        w->title = a[i].text;
            });
            runner.fake().browser.open(first.hwnd());
        } else if (verb == u"calls") {
            need(a, 2);
            FakeBrowserWindow& w = windowOf(runner, a[1]);
            // The browser interface offers no navigation and no stop: the program can only
            // close a window, so neither count can grow. The line keeps its transcript form.
            runner.print(QStringLiteral("calls %1: goForward 0 stopDownload 0").arg(w.hwnd()));
        } else if (verb == u"set") {
            app::Program& p = runner.program();
            for (std::size_t i = 1; i < a.size(); ++i) {
                const Word& o = a[i];
                if (o.key == u"autoclose")
                    p.rules.autoClose = toInt(o) != 0;
                else if (o.key == u"width")
                    p.rules.limitWidth = qint16(toInt(o));
                else if (o.key == u"height")
                    p.rules.limitHeight = qint16(toInt(o));
                else if (o.key == u"sound")
                    p.switches().setSoundFile(runner.programPath(o.text));
                else
                    throw LineError{QStringLiteral("unknown value ") + o.key + o.text};
            }
        } else if (verb == u"timer") {
            need(a, 3);
            runner.controlAs<controls::Timer>(a[1].text).setEnabled(a[2].text == u"on");
        } else if (verb == u"values") {
            app::Program& p = runner.program();
            // No navigation is ever held back for a probe any more: "probe" stays 0 in the
            // transcript's form.
            runner.print(QStringLiteral("values autoclose=%1 userclick=%2 probe=0 flash=%3")
                             .arg(int(p.rules.autoClose))
                             .arg(int(p.popupRules().userClicked()))
                             .arg(int(p.sizeScan().flash())));
        } else if (verb == u"flash") {
            const controls::Control* image = runner.mainControl(QStringLiteral("imgFlash"));
            const controls::Control* timer = runner.mainControl(QStringLiteral("tmrFlash"));
            runner.print(QStringLiteral("imgFlash %1, tmrFlash %2")
                             .arg(image->visible() ? QStringLiteral("lit") : QStringLiteral("dark"),
                                  timer->enabled() ? QStringLiteral("on") : QStringLiteral("off")));
        } else {
            throw LineError{QStringLiteral("unknown watch command")};
        }
    });
}

} // namespace scenario
