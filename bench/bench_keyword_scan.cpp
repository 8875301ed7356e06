// Keyword scan and matcher speed on lists of 100,000 keywords; the tick at 50 and 200 windows
// beside a loop that lower-cases each window's texts and searches them keyword by keyword.
// (TAVREL_KEYWORD_LIST: a real list, see BenchData.h.)
#include "BenchData.h"
#include "app/Program.h"
#include "fakes/FakePlatform.h"
#include "keywords/KeywordList.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {

// Filing 100,000 keywords at once (a list loaded or chosen).
void BM_MatcherBuild(benchmark::State& state) {
    const QStringList keywords = bench::keywordList(int(state.range(0)));
    for (auto _ : state) {
        keywords::KeywordList list;
        list.assign(keywords);
        benchmark::DoNotOptimize(list.matcher().keywordCount());
    }
}
BENCHMARK(BM_MatcherBuild)->Arg(100000)->Unit(benchmark::kMillisecond);

// Searching one window's page name and address among 100,000 keywords.
void BM_MatcherFindAll(benchmark::State& state) {
    keywords::KeywordList list;
    list.assign(bench::keywordList(100000));
    const QString name = QStringLiteral("le journal du matin - actualités et météo en direct");
    const QString url = QStringLiteral("https://www.example.org/articles/2026/12/07/some-long-path?"
                                       "utm_source=newsletter&utm_medium=email");
    std::vector<int> out;
    for (auto _ : state) {
        out.clear();
        list.matcher().findAll(name, url, out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_MatcherFindAll);

// One tick of the keyword scan with N open windows and 100,000 keywords (nothing matches).
void BM_KeywordScanTick(benchmark::State& state) {
    fakes::FakePlatform fake;
    app::Program program(fake.platform());
    program.load();
    fake.transcript.take();
    program.keywords.assign(bench::keywordList(100000));
    app::MainForm& form = program.form();
    for (int i = 1; i <= state.range(0); ++i) {
        auto* w = fake.browser.open(platform::WindowHandle(i));
        w->title = QStringLiteral("Page numéro %1 - un titre assez long").arg(i);
        w->url = QStringLiteral("https://site%1.example.org/section/article-%1.html").arg(i);
    }
    form.keywordScanTimer.setEnabled(true);
    form.keywordScanTimer.tick(); // builds the matcher once
    for (auto _ : state)
        form.keywordScanTimer.tick();
}
BENCHMARK(BM_KeywordScanTick)->Arg(50)->Arg(200)->Unit(benchmark::kMicrosecond);

// The same tick at 200 windows when pages changed since the last one: one page (a page that
// navigated, the usual tick) or all of them (the worst case: each is searched anew).
void BM_KeywordScanTickChanged(benchmark::State& state) {
    fakes::FakePlatform fake;
    app::Program program(fake.platform());
    program.load();
    fake.transcript.take();
    program.keywords.assign(bench::keywordList(100000));
    app::MainForm& form = program.form();
    std::vector<fakes::FakeBrowserWindow*> windows;
    for (int i = 1; i <= 200; ++i) {
        auto* w = fake.browser.open(platform::WindowHandle(i));
        w->title = QStringLiteral("Page numéro %1 - un titre assez long").arg(i);
        w->url = QStringLiteral("https://site%1.example.org/section/article-%1.html").arg(i);
        windows.push_back(w);
    }
    form.keywordScanTimer.setEnabled(true);
    form.keywordScanTimer.tick();
    const int changed = int(state.range(0));
    int round = 0;
    for (auto _ : state) {
        ++round;
        for (int c = 0; c < changed; ++c) {
            auto* w = windows[std::size_t((round * changed + c) % 200)];
            w->title = QStringLiteral("Page %1 lue %2 fois").arg(c).arg(round);
        }
        form.keywordScanTimer.tick();
    }
}
BENCHMARK(BM_KeywordScanTickChanged)->Arg(1)->Arg(200)->Unit(benchmark::kMicrosecond);

// The baseline: each window's texts lower-cased and searched for each keyword in turn.
void BM_NaiveScanTick(benchmark::State& state) {
    const QStringList keywords = bench::keywordList(100000);
    std::vector<std::pair<QString, QString>> windows;
    for (int i = 1; i <= state.range(0); ++i)
        windows.emplace_back(
            QStringLiteral("Page numéro %1 - un titre assez long").arg(i),
            QStringLiteral("https://site%1.example.org/section/article-%1.html").arg(i));
    int found = 0;
    for (auto _ : state) {
        for (const auto& [title, url] : windows) {
            const QString t = title.toLower();
            const QString u = url.toLower();
            for (const QString& k : keywords)
                if (t.contains(k.toLower()) || u.contains(k.toLower()))
                    ++found;
        }
    }
    benchmark::DoNotOptimize(found);
}
BENCHMARK(BM_NaiveScanTick)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
