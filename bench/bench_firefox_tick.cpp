// One tick of both scans with 50 pages open in a real headless Firefox, the adapter's own cost
// of keeping its snapshot fresh, the pop-up refusal (its delay and, for each way a page opens
// a window, how often the refused address still reached the server) and what the pop-up guard
// costs an ordinary page. Prints why and stops when no Firefox is there. TAVREL_BENCH_POPUPS
// sets the refusals per way (default 20); TAVREL_POPUP_GUARD=light measures the light guard.
#include "../tests/e2e/FirefoxSupport.h"

#include "app/StartUp.h"
#include "fakes/FakePlatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int kPages = 50;

struct World {
    e2e::Firefox browser{platform::linuxp::FirefoxOptions::fromEnvironment().popupGuard};
    e2e::LocalServer server;
    fakes::FakePlatform fake;
    std::unique_ptr<platform::Platform> platform;
    std::unique_ptr<app::Program> program;
};
World* world = nullptr;

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

bool setUp() {
    world = new World;
    World& w = *world;
    if (!w.browser.started()) {
        QTextStream(stderr) << "no browser: "
                            << (e2e::Firefox::unavailableReason().isEmpty()
                                    ? w.browser.error()
                                    : e2e::Firefox::unavailableReason())
                            << Qt::endl;
        return false;
    }
    for (int i = 0; i < kPages; ++i) {
        const QString path = QStringLiteral("/article-%1.html").arg(i);
        w.server.page(path, QStringLiteral("<html><head><title>Article %1 - le journal</title>"
                                           "</head><body>text</body></html>")
                                .arg(i));
        const auto created = w.browser.command(QStringLiteral("browsingContext.create"),
                                               {{"type", "tab"}, {"background", true}});
        w.browser.command(
            QStringLiteral("browsingContext.navigate"),
            {{"context", created.result.value("context")}, {"url", w.server.url(path)}});
    }
    e2e::waitUntil([&] { return w.browser.shell().windows().size() > kPages; }, 60000);
    e2e::waitUntil(
        [&] {
            int articles = 0;
            for (auto* win : w.browser.shell().windows())
                articles += win->locationName().value_or(QString()).startsWith(u"Article");
            return articles == kPages;
        },
        30000);
    auto& f = w.fake;
    w.platform = std::make_unique<platform::Platform>(
        platform::Platform{w.browser.shell(), f.files, f.settings, f.dialogs, f.clock, f.sound,
                           f.processes, f.instance, f.registry, f.system, f.notifier});
    w.program = app::startUp(*w.platform);
    // A realistic list: a thousand ad domains, none of which these pages hold.
    QStringList keywords;
    for (int i = 0; i < 1000; ++i)
        keywords.append(QStringLiteral("ads%1.example.net").arg(i));
    w.program->keywords.assign(keywords);
    app::MainForm& form = w.program->form();
    form.keywordScanSwitch.setValue(1);
    form.sizeScanSwitch.setValue(1);
    form.keywordScanTimer.setEnabled(true);
    form.sizeScanTimer.setEnabled(true);
    return true;
}

void BM_TickBothScans50Pages(benchmark::State& state) {
    app::MainForm& f = world->program->form();
    for (auto _ : state) {
        f.keywordScanTimer.tick();
        f.sizeScanTimer.tick();
    }
    state.counters["listed"] = double(f.windowListView.rowCount());
}
BENCHMARK(BM_TickBothScans50Pages)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

// Each way a page opens a window, as the script that does it; %1 marks the address.
struct Way {
    const char* name;
    const char* script;
};
const Way kWays[] = {
    {"window.open, new window", "window.open('/refused.html?%1', '', 'width=200,height=100'); 1"},
    {"window.open, new tab", "window.open('/refused.html?%1'); 1"},
    {"window.open, noopener", "window.open('/refused.html?%1', '', 'noopener'); 1"},
    {"link target=_blank, a.click()",
     "{ const a = document.createElement('a'); a.href = '/refused.html?%1'; a.target = '_blank';"
     "document.body.append(a); a.click(); a.remove(); } 1"},
    {"form target=_blank, submit()",
     "{ const f = document.createElement('form'); f.action = '/refused.html'; f.target = '_blank';"
     "f.innerHTML = '<input name=\"%1\">'; document.body.append(f); f.submit(); f.remove(); } 1"},
};

void refusals(int perWay) {
    e2e::Firefox& b = world->browser;
    world->server.page(
        QStringLiteral("/opener.html"),
        QStringLiteral("<html><head><title>Opener</title></head><body></body></html>"));
    world->server.page(QStringLiteral("/refused.html"), QStringLiteral("<html>ad</html>"));
    const platform::WindowHandle opener =
        b.openTab(world->server.url(QStringLiteral("/opener.html")));
    QObject::connect(b.window(opener), &platform::BrowserWindow::newWindow2,
                     [](bool& cancel) { cancel = true; });
    int done = 0;
    QObject::connect(&b.shell(), &platform::linuxp::FirefoxBrowser::popupRefusalDone,
                     [&] { ++done; });
    int serial = 0;
    for (const Way& way : kWays) {
        std::vector<qint64> delays;
        int seen = 0;
        for (int i = 0; i < perWay; ++i) {
            const QString tag = QStringLiteral("r%1x").arg(++serial);
            const int before = done;
            QElapsedTimer clock;
            clock.start();
            b.command(QStringLiteral("script.evaluate"),
                      {{"expression", QString::fromLatin1(way.script).arg(tag)},
                       {"awaitPromise", false},
                       {"target", QJsonObject{{"context", b.shell().contextOf(opener)}}}});
            if (!e2e::waitUntil([&] { return done == before + 1; }, 5000))
                break;
            delays.push_back(clock.elapsed());
            e2e::spin(30); // a request that got through arrives meanwhile
            seen += world->server.wasRequested(tag + (way.name[0] == 'f' ? "=" : ""));
        }
        std::sort(delays.begin(), delays.end());
        if (delays.empty()) {
            QTextStream(stdout) << way.name << ": no refusal completed" << Qt::endl;
            continue;
        }
        QTextStream(stdout) << way.name << ", " << delays.size()
                            << " refusals: window.open to refused window closed median "
                            << delays[delays.size() / 2] << " ms, max " << delays.back()
                            << " ms; refused addresses the server saw: " << seen << Qt::endl;
    }
}

// The CPU time of a process and its children that are still running, in milliseconds.
double processTreeCpuMs(qint64 root) {
    double ticks = 0;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        // The fields after the command name, which is in parentheses.
        const QList<QByteArray> f = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (f.size() > 12 && (entry.toLongLong() == root || f[1].toLongLong() == root))
            ticks += f[11].toDouble() + f[12].toDouble();
    }
    return ticks * 1000.0 / double(::sysconf(_SC_CLK_TCK));
}

// What the guard costs ordinary pages: a page of 150 images loaded ten times.
void pageCost() {
    e2e::Firefox& b = world->browser;
    QString html = QStringLiteral("<html><body>");
    for (int i = 0; i < 150; ++i) {
        world->server.page(QStringLiteral("/img%1.gif").arg(i), QStringLiteral("x"));
        html += QStringLiteral("<img src=\"/img%1.gif\">").arg(i);
    }
    world->server.page(QStringLiteral("/images.html"), html + QStringLiteral("</body></html>"));
    const platform::WindowHandle tab = b.openTab(world->server.url(QStringLiteral("/opener.html")));
    std::vector<qint64> loads;
    const double cpu0 = processTreeCpuMs(b.shell().browserPid());
    const double own0 = cpuSeconds();
    for (int i = 0; i < 10; ++i) {
        QElapsedTimer clock;
        clock.start();
        b.command(QStringLiteral("browsingContext.navigate"),
                  {{"context", b.shell().contextOf(tab)},
                   {"url", world->server.url(QStringLiteral("/images.html?%1").arg(i))},
                   {"wait", "complete"}},
                  30000);
        loads.push_back(clock.elapsed());
    }
    const double cpu = (processTreeCpuMs(b.shell().browserPid()) - cpu0) / 10.0;
    const double own = (cpuSeconds() - own0) * 1000.0 / 10.0;
    std::sort(loads.begin(), loads.end());
    QTextStream(stdout) << "page of 150 images, " << loads.size() << " loads: median "
                        << loads[loads.size() / 2] << " ms, Firefox CPU "
                        << QString::number(cpu, 'f', 0) << " ms and Tavrel CPU "
                        << QString::number(own, 'f', 1) << " ms per load" << Qt::endl;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (!setUp())
        return 0;
    benchmark::RunSpecifiedBenchmarks();
    // The snapshot refresh runs on the event loop between ticks: its CPU time per second.
    const double before = cpuSeconds();
    e2e::spin(5000);
    const double perSecond = (cpuSeconds() - before) / 5.0;
    QTextStream(stdout) << "adapter upkeep with " << world->browser.shell().windows().size()
                        << " pages: " << QString::number(perSecond * 1000.0, 'f', 1)
                        << " ms of CPU per second" << Qt::endl;
    bool ok = false;
    const int perWay = qEnvironmentVariableIntValue("TAVREL_BENCH_POPUPS", &ok);
    refusals(ok && perWay > 0 ? perWay : 20);
    pageCost();
    benchmark::Shutdown();
    return 0;
}
