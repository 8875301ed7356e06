// One tick of both scans with 50 pages open in a real headless Chromium, and the adapter's
// own cost of keeping its snapshot fresh. Prints why and stops when no Chromium is there.
#include "../tests/e2e/E2eSupport.h"

#include "app/StartUp.h"
#include "fakes/FakePlatform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

constexpr int kPages = 50;

struct World {
    e2e::Browser browser;
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
                            << (e2e::Browser::unavailableReason().isEmpty()
                                    ? w.browser.error()
                                    : e2e::Browser::unavailableReason())
                            << Qt::endl;
        return false;
    }
    for (int i = 0; i < kPages; ++i) {
        const QString path = QStringLiteral("/article-%1.html").arg(i);
        w.server.page(path, QStringLiteral("<html><head><title>Article %1 - le journal</title>"
                                           "</head><body>text</body></html>")
                                .arg(i));
        w.browser.command(QStringLiteral("Target.createTarget"), {{"url", w.server.url(path)}});
    }
    e2e::waitUntil([&] { return w.browser.shell().windows().size() > kPages; }, 60000);
    e2e::waitUntil(
        [&] {
            for (auto* win : w.browser.shell().windows())
                if (!win->locationName().value_or(QString()).startsWith(u"Article") &&
                    win->locationURL() != QStringLiteral("about:blank"))
                    return false;
            return true;
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
    // From a page's window.open to the refused window's end, over 20 refusals.
    e2e::Browser& b = world->browser;
    world->server.page(QStringLiteral("/opener.html"),
                       QStringLiteral("<html><head><title>Opener</title></head></html>"));
    const platform::WindowHandle opener =
        b.openTab(world->server.url(QStringLiteral("/opener.html")));
    QObject::connect(b.window(opener), &platform::BrowserWindow::newWindow2,
                     [](bool& cancel) { cancel = true; });
    int done = 0;
    QObject::connect(&b.shell(), &platform::linuxp::ChromiumBrowser::popupRefusalDone,
                     [&] { ++done; });
    std::vector<qint64> delays;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer clock;
        clock.start();
        b.command(QStringLiteral("Runtime.evaluate"),
                  {{"expression", QStringLiteral("window.open('/refused.html?%1', '', "
                                                 "'width=200,height=100'); 1")
                                      .arg(i)}},
                  b.shell().sessionOf(opener));
        if (!e2e::waitUntil([&] { return done == i + 1; }, 5000))
            break;
        delays.push_back(clock.elapsed());
    }
    std::sort(delays.begin(), delays.end());
    if (!delays.empty())
        QTextStream(stdout) << "window.open to refused window closed, " << delays.size()
                            << " refusals: median " << delays[delays.size() / 2] << " ms, max "
                            << delays.back() << " ms; the server saw "
                            << (world->server.wasRequested(QStringLiteral("refused"))
                                    ? "a refused address (fault)"
                                    : "no refused address")
                            << Qt::endl;
    benchmark::Shutdown();
    return 0;
}
