#include "tools/scenario/Extensions.h"

#include "watch/IEWindows.h"
#include "watch/IE_Class.h"
#include "watch/SizeScan.h"

namespace scenario {

namespace {

using platform::WindowHandle;
using platform::fake::FakeBrowserWindow;
using platform::fake::quote;

FakeBrowserWindow& windowOf(ScenarioRunner& runner, const Word& id) {
    FakeBrowserWindow* w = runner.fake().browser.window(WindowHandle(toInt(id)));
    if (!w)
        throw LineError{QStringLiteral("no such window")};
    return *w;
}

watch::cIEWindows& collection(ScenarioRunner& runner) {
    watch::cIEWindows* c = runner.form().IEWin;
    if (!c)
        throw LineError{QStringLiteral("no window collection")};
    return *c;
}

QString entries(watch::cIEWindows& c) {
    QString text = QString::number(c.Count()) + QStringLiteral(" entries");
    for (watch::IE_Class* w : c.NewEnum())
        text += u' ' + QString::number(w->IEHandle());
    return text;
}

QString mouse(qint16 button, qint16 shift, float x, float y) {
    return QStringLiteral("button=%1 shift=%2 x=%3 y=%4").arg(button).arg(shift).arg(x).arg(y);
}

// Prints every event the collection raises, as it is raised.
void listen(ScenarioRunner& runner) {
    watch::cIEWindows& c = collection(runner);
    using C = watch::cIEWindows;
    auto print = [&runner](const QString& line) { runner.print(QStringLiteral("event ") + line); };
    auto where = [](platform::BrowserWindow* pDisp) {
        return pDisp ? QStringLiteral("window %1").arg(pDisp->hwnd()) : QStringLiteral("frame");
    };
    QObject::connect(&c, &C::IEWindowRegistered, &c,
                     [print, &c] { print(QStringLiteral("IEWindowRegistered: ") + entries(c)); });
    QObject::connect(&c, &C::IEWindowRevoked, &c,
                     [print, &c] { print(QStringLiteral("IEWindowRevoked: ") + entries(c)); });
    QObject::connect(&c, &C::IENavigationBegin, &c,
                     [print, where](WindowHandle h, platform::BrowserWindow* pDisp,
                                    const QString& url, int, const QString&, const QByteArray&,
                                    const QString&, bool& cancel) {
                         print(QStringLiteral("IENavigationBegin %1 %2 %3 cancel=%4")
                                   .arg(h)
                                   .arg(where(pDisp), quote(url))
                                   .arg(int(cancel)));
                     });
    QObject::connect(
        &c, &C::IENavigationComplete, &c,
        [print, where](WindowHandle h, platform::BrowserWindow* pDisp, const QString& url) {
            print(QStringLiteral("IENavigationComplete %1 %2 %3")
                      .arg(h)
                      .arg(where(pDisp), quote(url)));
        });
    QObject::connect(
        &c, &C::IEDocumentComplete, &c,
        [print, where](WindowHandle h, platform::BrowserWindow* pDisp, const QString& url) {
            print(
                QStringLiteral("IEDocumentComplete %1 %2 %3").arg(h).arg(where(pDisp), quote(url)));
        });
    QObject::connect(&c, &C::IEDownloadBegin, &c, [print](WindowHandle h) {
        print(QStringLiteral("IEDownloadBegin %1").arg(h));
    });
    QObject::connect(&c, &C::IEDownloadComplete, &c, [print](WindowHandle h) {
        print(QStringLiteral("IEDownloadComplete %1").arg(h));
    });
    QObject::connect(&c, &C::IEOnContextMenu, &c, [print](WindowHandle h) {
        print(QStringLiteral("IEOnContextMenu %1").arg(h));
    });
    QObject::connect(&c, &C::IEMouseDown, &c,
                     [print](WindowHandle h, qint16 b, qint16 s, float x, float y) {
                         print(QStringLiteral("IEMouseDown %1 ").arg(h) + mouse(b, s, x, y));
                     });
    QObject::connect(&c, &C::IEMouseUp, &c,
                     [print](WindowHandle h, qint16 b, qint16 s, float x, float y) {
                         print(QStringLiteral("IEMouseUp %1 ").arg(h) + mouse(b, s, x, y));
                     });
    QObject::connect(&c, &C::IECommandStateChange, &c,
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
            watch::cIEWindows& c = collection(runner);
            runner.print(QStringLiteral("IEWin: %1 entries").arg(c.Count()));
            int position = 0;
            for (watch::IE_Class* w : c.NewEnum())
                runner.print(QStringLiteral("  %1 %2 forward=%3 back=%4 doc=%5")
                                 .arg(++position)
                                 .arg(quote(QString::number(w->IEHandle())))
                                 .arg(int(w->EnableForward()))
                                 .arg(int(w->EnableBack()))
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
            app::FrmMain& f = runner.form();
            for (std::size_t i = 1; i < a.size(); ++i) {
                const Word& o = a[i];
                if (o.key == u"autoclose")
                    f.gAutoClose = toInt(o) != 0;
                else if (o.key == u"width")
                    f.gLimitWidth = qint16(toInt(o));
                else if (o.key == u"height")
                    f.gLimitHeight = qint16(toInt(o));
                else if (o.key == u"sound")
                    f.gSoundFile = runner.programPath(o.text);
                else
                    throw LineError{QStringLiteral("unknown value ") + o.key + o.text};
            }
        } else if (verb == u"timer") {
            need(a, 3);
            runner.controlAs<controls::Timer>(a[1].text).setEnabled(a[2].text == u"on");
        } else if (verb == u"values") {
            app::FrmMain& f = runner.form();
            runner.print(QStringLiteral("values autoclose=%1 userclick=%2 probe=%3 flash=%4")
                             .arg(int(f.gAutoClose))
                             .arg(int(watch::gUserClick))
                             .arg(int(watch::gProbeNavigation))
                             .arg(int(f.sizeScan().flash())));
        } else if (verb == u"flash") {
            app::FrmMain& f = runner.form();
            runner.print(
                QStringLiteral("imgFlash %1, tmrFlash %2")
                    .arg(f.flashPicture.visible() ? QStringLiteral("lit") : QStringLiteral("dark"),
                         f.flashTimer.enabled() ? QStringLiteral("on") : QStringLiteral("off")));
        } else {
            throw LineError{QStringLiteral("unknown watch command")};
        }
    });
}

} // namespace scenario
