// Keyword scan and matcher speed on lists of 100,000 keywords.
#include "app/Program.h"
#include "fakes/FakePlatform.h"
#include "keywords/KeywordMatcher.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>

namespace {

std::vector<QString> adDomains(int count) {
    QRandomGenerator rng(7);
    std::vector<QString> out;
    out.reserve(count);
    static const char* tlds[] = {"com", "net", "org", "fr", "io"};
    for (int i = 0; i < count; ++i) {
        QString s;
        const int len = 6 + int(rng.bounded(12));
        for (int k = 0; k < len; ++k)
            s += QChar(u'a' + char16_t(rng.bounded(26)));
        out.push_back(s + u'.' + QString::fromLatin1(tlds[rng.bounded(5)]));
    }
    return out;
}

void BM_MatcherBuild(benchmark::State& state) {
    const auto keywords = adDomains(int(state.range(0)));
    for (auto _ : state) {
        keywords::KeywordMatcher m;
        m.build(keywords);
        benchmark::DoNotOptimize(m.keywordCount());
    }
}
BENCHMARK(BM_MatcherBuild)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_MatcherFindAll(benchmark::State& state) {
    const auto keywords = adDomains(100000);
    keywords::KeywordMatcher m;
    m.build(keywords);
    const QString name = QStringLiteral("le journal du matin - actualités et météo en direct");
    const QString url = QStringLiteral("https://www.example.org/articles/2026/12/07/some-long-path?"
                                       "utm_source=newsletter&utm_medium=email");
    std::vector<int> out;
    for (auto _ : state) {
        out.clear();
        m.findAll(name, url, out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_MatcherFindAll);

// One tick of the keyword scan with 50 open windows and 100,000 keywords (nothing matches).
void BM_KeywordScanTick(benchmark::State& state) {
    fakes::FakePlatform fake;
    app::Program program(fake.platform());
    program.load();
    fake.transcript.take();
    QStringList keywords;
    for (const QString& k : adDomains(100000))
        keywords.append(k);
    program.keywords.assign(keywords);
    app::MainForm& form = program.form();
    for (int i = 1; i <= 50; ++i) {
        auto* w = fake.browser.open(platform::WindowHandle(i));
        w->title = QStringLiteral("Page numéro %1 - un titre assez long").arg(i);
        w->url = QStringLiteral("https://site%1.example.org/section/article-%1.html").arg(i);
    }
    form.keywordScanTimer.setEnabled(true);
    form.keywordScanTimer.tick(); // builds the matcher once
    for (auto _ : state)
        form.keywordScanTimer.tick();
}
BENCHMARK(BM_KeywordScanTick)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
