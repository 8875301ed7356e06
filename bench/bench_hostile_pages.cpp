// Tavrel against hostile pages in a real headless Chromium, the whole program (its window drawn
// off screen, the rest of the desktop faked) with every protection on: a burst of 500
// window.open calls as a page loads, the same burst by links and fresh frames ("bypass") and
// from a frame of another site ("frame"), a 2 MB address, and a flood of 100,000 click
// reports. Each case runs twice with the same browser and program, each phase for the same
// time: first a page of the same shape that does no harm (the baseline), then the hostile one.
// A table row per phase gives Tavrel's CPU time (the test's own local server included, which
// serves a handful of pages) and the browser's, Tavrel's resident memory at the start, its peak
// and at the end, the pop-up targets the browser created and the requests the server saw for
// their addresses, the longest stall of the hostile page's own timer and the slowest answer of
// the page to an evaluation, and for a keyword page opened one second in: when it was listed,
// when the program decided to close it and when it was gone. Prints why and stops when no
// Chromium is there.
//
//   tavrel-bench-hostile [burst|bypass|frame|bigurl|flood]...   (all when none is named)
//
// TAVREL_BENCH_FRESH_TAB=1 opens the hostile page in a new tab instead of navigating a tab
// that is already watched; TAVREL_BENCH_X11=1 has the program read keys and buttons from the X
// server (run it under xvfb-run), as it does on a desktop.
#include "../tests/e2e/E2eSupport.h"

#include "app/StartUp.h"
#include "fakes/FakePlatform.h"
#include "view/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QSet>
#include <QTextStream>
#include <QTimer>

#include <map>
#include <memory>

#include <sys/resource.h>
#include <unistd.h>

namespace {

using platform::linuxp::CdpReply;

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// CPU time of the browser: its process and every process below it.
double browserCpuSeconds(qint64 browserPid) {
    std::map<qint64, qint64> parent;
    std::map<qint64, double> cpu;
    const double tick = double(sysconf(_SC_CLK_TCK));
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray stat = f.readAll();
        // After the command name in parentheses: state, ppid, ... utime (14th), stime (15th).
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 13)
            continue;
        parent[pid] = fields[1].toLongLong();
        cpu[pid] = double(fields[11].toLongLong() + fields[12].toLongLong()) / tick;
    }
    double total = 0;
    for (const auto& [pid, seconds] : cpu)
        for (qint64 p = pid; p > 1; p = parent.count(p) ? parent[p] : 0)
            if (p == browserPid) {
                total += seconds;
                break;
            }
    return total;
}

// A field of /proc/self/status in kB (VmRSS, VmHWM).
long statusKb(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Starts a new peak: the resident high-water mark becomes the present size.
void resetPeak() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

struct Result {
    QString label;
    double seconds = 0;
    double cpu = 0;
    double browserCpu = 0;
    long startKb = 0;
    long peakKb = 0;
    long endKb = 0;
    int popupRequests = 0;
    int popupTargets = 0;
    qint64 slowestAnswerMs = 0;
    bool answered = true;
    double pageStallMs = -1;
    qint64 keywordClosedMs = -1;
    qint64 keywordDecidedMs = -1;
    qint64 keywordListedMs = -1;
    int popupsLeft = 0;
    qint64 lastPopupGoneMs = -1;
};

// The program with the real browser, its window (drawn off screen) and fakes for everything
// else, every protection switched on.
struct World {
    World()
        : platform{browser.shell(), fake.files,  fake.settings,  fake.dialogs,
                   fake.clock,      fake.sound,  fake.processes, fake.instance,
                   fake.registry,   fake.system, fake.notifier} {}
    bool start() {
        if (!browser.started())
            return false;
        program = app::startUp(platform);
        app::MainForm& f = program->form();
        for (controls::CheckBox* box :
             {&f.popupRuleSwitch, &f.popupSizeRuleSwitch, &f.keywordScanSwitch, &f.sizeScanSwitch})
            if (box->value() != 1)
                box->userSet(1);
        QStringList keywords;
        for (int i = 0; i < 1000; ++i)
            keywords.append(QStringLiteral("ads%1.example.net").arg(i));
        keywords.append(QStringLiteral("pubtavrel"));
        for (const QString& k : keywords)
            program->statistics.append(k);
        program->keywords.assign(keywords);
        // The whole program, its window and the timers that drive the scans included.
        window = std::make_unique<view::MainWindow>(*program);
        window->show();
        return true;
    }
    e2e::Browser browser{qEnvironmentVariable("TAVREL_BENCH_X11") == u"1"};
    e2e::LocalServer server;
    fakes::FakePlatform fake;
    platform::Platform platform;
    std::unique_ptr<app::Program> program;
    std::unique_ptr<view::MainWindow> window;
};

// One phase: the page at `path` is loaded in a tab that was already watched; `act` then
// runs in it (by evaluation, answered or not); for `ms` the page is probed every 200 ms and a
// keyword page is opened after one second.
Result runPhase(World& w, const QString& label, const QString& path, const QString& act, int ms) {
    e2e::Browser& b = w.browser;
    Result r;
    r.label = label;
    const int requestsBefore = int(w.server.requested.size());
    const bool fresh = qEnvironmentVariable("TAVREL_BENCH_FRESH_TAB") == u"1";
    platform::WindowHandle tab = fresh ? 0 : b.openTab(w.server.url(QStringLiteral("/start.html")));
    QString session = b.shell().sessionOf(tab);
    QString tabTarget = b.shell().targetOf(tab);
    e2e::spin(1000); // what opening the tab cost settles

    int created = 0;
    QSet<QString> popups;
    QString keywordTarget;
    QElapsedTimer clock;
    qint64 keywordOpenedAt = -1;
    auto* connection = b.shell().connection();
    QObject tracker;
    // Answers may come after the phase is over: they then touch nothing of it.
    const auto alive = std::make_shared<bool>(true);
    QObject::connect(connection, &platform::linuxp::CdpConnection::event, &tracker,
                     [&](const QString& method, const QJsonObject& params, const QString&) {
                         const QJsonObject info = params.value("targetInfo").toObject();
                         if (method == u"Target.targetCreated" && !tabTarget.isEmpty() &&
                             info.value("openerId").toString() == tabTarget) {
                             ++created;
                             popups.insert(info.value("targetId").toString());
                         }
                         if (method == u"Target.targetDestroyed" &&
                             popups.remove(params.value("targetId").toString()))
                             r.lastPopupGoneMs = clock.elapsed();
                         if (method == u"Target.targetDestroyed" && !keywordTarget.isEmpty() &&
                             params.value("targetId").toString() == keywordTarget &&
                             r.keywordClosedMs < 0)
                             r.keywordClosedMs = clock.elapsed() - keywordOpenedAt;
                     });

    const double cpu0 = cpuSeconds();
    const double browserCpu0 = browserCpuSeconds(b.shell().browserPid());
    resetPeak();
    r.startKb = statusKb("VmRSS");
    clock.start();
    // The page arrives by navigation, and does its thing as it loads.
    if (fresh) {
        tabTarget = b.command(QStringLiteral("Target.createTarget"), {{"url", w.server.url(path)}})
                        .result.value("targetId")
                        .toString();
        e2e::waitUntil([&] {
            for (auto* win : b.shell().windows())
                if (static_cast<platform::linuxp::ChromiumWindow*>(win)->targetId() == tabTarget)
                    tab = win->hwnd();
            return tab != 0;
        });
        session = b.shell().sessionOf(tab);
    } else {
        connection->send(QStringLiteral("Page.navigate"), {{"url", w.server.url(path)}}, session);
    }
    // In front, so that the browser does not slow its timers down.
    connection->send(QStringLiteral("Page.bringToFront"), {}, session);
    if (!act.isEmpty())
        QTimer::singleShot(500, &tracker, [&] {
            // In a world of its own, where the reporting function was never taken away: what a
            // page that got hold of it can do.
            connection->send(QStringLiteral("Page.createIsolatedWorld"),
                             {{"frameId", tabTarget}, {"worldName", "hostile"}}, session,
                             [&, alive, connection, session, act](const CdpReply& world) {
                                 if (!*alive)
                                     return;
                                 connection->send(
                                     QStringLiteral("Runtime.evaluate"),
                                     {{"expression", act},
                                      {"contextId", world.result.value("executionContextId")}},
                                     session);
                             });
        });
    QTimer::singleShot(1000, &tracker, [&] {
        keywordOpenedAt = clock.elapsed();
        connection->send(
            QStringLiteral("Target.createTarget"),
            {{"url", w.server.url(QStringLiteral("/pubtavrel.html"))}, {"background", true}}, {},
            [&, alive](const CdpReply& reply) {
                if (!*alive)
                    return;
                keywordTarget = reply.result.value("targetId").toString();
            });
    });
    struct Probe {
        qint64 sent;
        qint64 answered = -1;
    };
    std::vector<Probe> probes;
    probes.reserve(size_t(ms / 200 + 2));
    QTimer probeTimer;
    probeTimer.setInterval(200);
    QObject::connect(&probeTimer, &QTimer::timeout, [&] {
        const size_t i = probes.size();
        probes.push_back({clock.elapsed()});
        connection->send(QStringLiteral("Runtime.evaluate"), {{"expression", "1"}}, session,
                         [&, alive, i](const CdpReply& reply) {
                             if (*alive && reply.ok)
                                 probes[i].answered = clock.elapsed();
                         });
    });
    probeTimer.start();
    // When the program decides to close the keyword page (the browser may be slower to do it).
    const int closuresBefore = w.program->closures.byKeyword();
    QTimer closureWatch;
    closureWatch.setInterval(5);
    QObject::connect(&closureWatch, &QTimer::timeout, [&] {
        if (r.keywordListedMs < 0 && !keywordTarget.isEmpty())
            for (auto* win : b.shell().windows())
                if (static_cast<platform::linuxp::ChromiumWindow*>(win)->targetId() ==
                    keywordTarget)
                    r.keywordListedMs = clock.elapsed() - keywordOpenedAt;
        if (r.keywordDecidedMs < 0 && keywordOpenedAt >= 0 &&
            w.program->closures.byKeyword() > closuresBefore)
            r.keywordDecidedMs = clock.elapsed() - keywordOpenedAt;
    });
    closureWatch.start();
    e2e::spin(ms);
    probeTimer.stop();
    closureWatch.stop();

    const platform::linuxp::CdpReply stall = b.command(
        QStringLiteral("Runtime.evaluate"),
        {{"expression", "window.stallNow ? window.stallNow() : -1"}, {"returnByValue", true}},
        session, 5000);
    r.pageStallMs =
        stall.ok ? stall.result.value("result").toObject().value("value").toDouble() : -1;
    r.seconds = double(clock.elapsed()) / 1000.0;
    r.cpu = cpuSeconds() - cpu0;
    r.browserCpu = browserCpuSeconds(b.shell().browserPid()) - browserCpu0;
    r.peakKb = statusKb("VmHWM");
    r.endKb = statusKb("VmRSS");
    for (const Probe& p : probes) {
        const qint64 took = (p.answered < 0 ? clock.elapsed() : p.answered) - p.sent;
        r.slowestAnswerMs = std::max(r.slowestAnswerMs, took);
        if (p.sent < clock.elapsed() - 1000)
            r.answered = r.answered && p.answered >= 0;
    }
    for (qsizetype i = requestsBefore; i < w.server.requested.size(); ++i)
        r.popupRequests += w.server.requested[i].startsWith(u"/popped.html");
    r.popupTargets = created;
    r.popupsLeft = int(popups.size());
    QObject::disconnect(connection, nullptr, &tracker, nullptr);
    *alive = false;
    // Everything the phase left open goes before the next one.
    if (!keywordTarget.isEmpty())
        b.command(QStringLiteral("Target.closeTarget"), {{"targetId", keywordTarget}});
    b.command(QStringLiteral("Target.closeTarget"), {{"targetId", tabTarget}});
    e2e::waitUntil([&] { return !b.listed(tab); }, 5000);
    return r;
}

// Every hostile page (and its baseline) first starts a timer that notes its longest stall.
const QString kStallMeter = QStringLiteral(
    "<script>let last = performance.now(), stall = 0;"
    " setInterval(() => { const t = performance.now(); stall = Math.max(stall, t - last);"
    " last = t; }, 10);"
    " window.stallNow = () => Math.max(stall, performance.now() - last);</script>");

const QString kStart =
    QStringLiteral("<html><head><title>Start</title></head><body>s</body></html>");
const QString kKeywordPage =
    QStringLiteral("<html><head><title>Annonce</title></head><body>ad</body></html>");
const QString kPopped =
    QStringLiteral("<html><head><title>Popped</title></head><body>p</body></html>");

// Burst: 500 calls in one loop as the page loads; baseline: the same loop without the call.
QString burstPage(bool hostile) {
    return QStringLiteral("<html><head><title>Burst</title>%1</head><body><script>"
                          "for (let i = 0; i < 500; i++) %2;</script></body></html>")
        .arg(kStallMeter, hostile ? QStringLiteral("window.open('/popped.html?a' + i)")
                                  : QStringLiteral("void ('/popped.html?a' + i)"));
}

// The same burst by means the page script stands in front of only once it refuses: links
// clicked by the script, and window.open of fresh frames.
QString bypassPage(bool hostile) {
    return QStringLiteral("<html><head><title>Bypass</title>%1</head><body><script>"
                          "for (let i = 0; i < 250; i++) { const a = document.createElement('a');"
                          " a.href = '/popped.html?link' + i; a.target = '_blank'; %2"
                          " const f = document.createElement('iframe'); document.body.append(f);"
                          " %3 f.remove(); }</script></body></html>")
        .arg(kStallMeter, hostile ? QStringLiteral("a.click();") : QString(),
             hostile ? QStringLiteral("f.contentWindow.open('/popped.html?frame' + i);")
                     : QString());
}

// The burst from a frame of another site (its own process, where the page script does not
// run): every window goes through the adapter's refusal. The frame's address is given.
QString framedPage(const QString& frame) {
    return QStringLiteral("<html><head><title>Framed</title>%1</head><body>"
                          "<iframe src=\"%2\"></iframe></body></html>")
        .arg(kStallMeter, frame);
}
QString frameBurst(bool hostile) {
    return QStringLiteral("<html><body><script>addEventListener('load', () => setTimeout(() => {"
                          " for (let i = 0; i < 500; i++) %1; }, 0));</script></body></html>")
        .arg(hostile ? QStringLiteral("window.open('/popped.html?f' + i)")
                     : QStringLiteral("void ('/popped.html?f' + i)"));
}

// A 2 MB address, without a title; baseline: 200 characters.
QString bigUrlPage(bool hostile) {
    return QStringLiteral("<html><head>%1</head><body><script>history.replaceState(null, '', "
                          "'/bigurl.html?q=' + 'a'.repeat(%2));</script></body></html>")
        .arg(kStallMeter)
        .arg(hostile ? 2 * 1024 * 1024 - 200 : 200);
}

const QString kFloodPage = QStringLiteral("<html><head><title>Flood</title>") + kStallMeter +
                           QStringLiteral("</head><body>f</body></html>");

// The reporting function called `n` times.
QString floodCall(int n) {
    return QStringLiteral(
               "(() => { const w = window;"
               " const name = Object.getOwnPropertyNames(w).find(k => k.startsWith('__tavrel'));"
               " if (!name) return 'no function';"
               " const m = JSON.stringify({type: 'mouseup', button: 0, buttons: 0, ctrlKey: false,"
               " shiftKey: false, altKey: false, x: 1, y: 1});"
               " for (let i = 0; i < %1; i++) w[name](m); return name; })()")
        .arg(n);
}

QString ms(qint64 v) {
    return v < 0 ? QStringLiteral("-") : QString::number(v);
}

void printHeader() {
    QTextStream(stdout)
        << "| case | phase | s | Tavrel CPU s | browser CPU s | RSS start / peak / end MB | "
           "pop-up targets (left) | pop-up requests | page stall ms | slowest answer ms | "
           "keyword page listed / decided / gone ms |\n"
           "|---|---|---|---|---|---|---|---|---|---|---|"
        << Qt::endl;
}

void print(const QString& name, const Result& r) {
    QTextStream(stdout) << QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 / %7 / %8 | %9 (%10) | "
                                          "%11 | %12 | %13%14 | %15 / %16 / %17 |")
                               .arg(name, r.label)
                               .arg(r.seconds, 0, 'f', 1)
                               .arg(r.cpu, 0, 'f', 2)
                               .arg(r.browserCpu, 0, 'f', 2)
                               .arg(double(r.startKb) / 1024.0, 0, 'f', 1)
                               .arg(double(r.peakKb) / 1024.0, 0, 'f', 1)
                               .arg(double(r.endKb) / 1024.0, 0, 'f', 1)
                               .arg(r.popupTargets)
                               .arg(r.popupsLeft)
                               .arg(r.popupRequests)
                               .arg(r.pageStallMs < 0 ? QStringLiteral("-")
                                                      : QString::number(qint64(r.pageStallMs)))
                               .arg(r.slowestAnswerMs)
                               .arg(r.answered ? QString() : QStringLiteral(" (unanswered)"))
                               .arg(ms(r.keywordListedMs), ms(r.keywordDecidedMs),
                                    ms(r.keywordClosedMs))
                        << Qt::endl;
}

} // namespace

int main(int argc, char** argv) {
    // The program's window is drawn off screen unless a display is asked for.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList cases = app.arguments().mid(1);
    if (cases.isEmpty())
        cases = {QStringLiteral("burst"), QStringLiteral("bypass"), QStringLiteral("frame"),
                 QStringLiteral("bigurl"), QStringLiteral("flood")};
    printHeader();
    for (const QString& name : cases) {
        World w;
        if (!w.start()) {
            QTextStream(stderr) << "no browser: "
                                << (e2e::Browser::unavailableReason().isEmpty()
                                        ? w.browser.error()
                                        : e2e::Browser::unavailableReason())
                                << Qt::endl;
            return 0;
        }
        w.server.page(QStringLiteral("/start.html"), kStart);
        w.server.page(QStringLiteral("/pubtavrel.html"), kKeywordPage);
        w.server.page(QStringLiteral("/popped.html"), kPopped);
        auto phases = [&](const QString& quiet, const QString& hostile, const QString& quietAct,
                          const QString& hostileAct, int ms) {
            print(name, runPhase(w, QStringLiteral("baseline"), quiet, quietAct, ms));
            print(name, runPhase(w, name, hostile, hostileAct, ms));
        };
        if (name == u"burst") {
            w.server.page(QStringLiteral("/quiet.html"), burstPage(false));
            w.server.page(QStringLiteral("/burst.html"), burstPage(true));
            phases(QStringLiteral("/quiet.html"), QStringLiteral("/burst.html"), {}, {}, 25000);
        } else if (name == u"bypass") {
            w.server.page(QStringLiteral("/quiet.html"), bypassPage(false));
            w.server.page(QStringLiteral("/bypass.html"), bypassPage(true));
            phases(QStringLiteral("/quiet.html"), QStringLiteral("/bypass.html"), {}, {}, 25000);
        } else if (name == u"frame") {
            // localhost, not 127.0.0.1: another site.
            auto frameUrl = [&](const char* path) {
                return w.server.url(QLatin1String(path)).replace("127.0.0.1", "localhost");
            };
            w.server.page(QStringLiteral("/quietframe.html"), frameBurst(false));
            w.server.page(QStringLiteral("/burstframe.html"), frameBurst(true));
            w.server.page(QStringLiteral("/quiet.html"), framedPage(frameUrl("/quietframe.html")));
            w.server.page(QStringLiteral("/framed.html"), framedPage(frameUrl("/burstframe.html")));
            phases(QStringLiteral("/quiet.html"), QStringLiteral("/framed.html"), {}, {}, 25000);
        } else if (name == u"bigurl") {
            w.server.page(QStringLiteral("/smallurl.html"), bigUrlPage(false));
            w.server.page(QStringLiteral("/bigurl.html"), bigUrlPage(true));
            phases(QStringLiteral("/smallurl.html"), QStringLiteral("/bigurl.html"), {}, {}, 10000);
        } else if (name == u"flood") {
            w.server.page(QStringLiteral("/flood.html"), kFloodPage);
            phases(QStringLiteral("/flood.html"), QStringLiteral("/flood.html"), floodCall(10),
                   floodCall(100000), 15000);
        } else {
            QTextStream(stderr) << "unknown case " << name << Qt::endl;
            return 2;
        }
    }
    return 0;
}
