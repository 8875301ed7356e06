// Big lists: importing EasyList (about 42,000 host rules) as keywords, matcher included, beside
// a plain read of the same file; filtering and ordering a list of 100,000 keywords.
//
// The list is Debian's copy of EasyList (package webext-ublock-origin-chromium) when it is
// installed, or the file named by TAVREL_EASYLIST; otherwise a generated list of the same
// shape (42,000 host rules among other rules and comments) stands in.
#include "controls/ListView.h"
#include "fakes/FakePlatform.h"
#include "keywords/ListImport.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

QString randomName(QRandomGenerator& rng, int minLength, int spread) {
    QString s;
    const int len = minLength + int(rng.bounded(spread));
    for (int k = 0; k < len; ++k)
        s += QChar(u'a' + char16_t(rng.bounded(26)));
    return s;
}

// EasyList's shape: a header, comments, host rules, and the other rules a blocker also has.
QByteArray generatedEasyList() {
    QRandomGenerator rng(20);
    static const char* tlds[] = {"com", "net", "org", "fr", "io", "xyz"};
    QString text = QStringLiteral("[Adblock Plus 2.0]\n! Title: EasyList (generated)\n");
    for (int i = 0; i < 42000; ++i) {
        const QString host = randomName(rng, 5, 12) + u'.' + QLatin1String(tlds[rng.bounded(6)]);
        text += QStringLiteral("||") + host + QStringLiteral("^\n");
        if (i % 2 == 0)
            text += u'-' + randomName(rng, 3, 8) + QStringLiteral("-ad/$image\n");
        if (i % 5 == 0)
            text += host + QStringLiteral("##.ad-") + randomName(rng, 3, 6) + u'\n';
        if (i % 500 == 0)
            text += QStringLiteral("! *** section ***\n");
    }
    return text.toUtf8();
}

// The path of the list the benchmarks read.
QString listPath() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString chosen = qEnvironmentVariable("TAVREL_EASYLIST");
        for (const QString& p :
             {chosen, QStringLiteral("/usr/share/chromium/extensions/ublock-origin/assets/"
                                     "thirdparties/easylist/easylist.txt")})
            if (!p.isEmpty() && QFile::exists(p)) {
                std::fprintf(stderr, "list: %s\n", qPrintable(p));
                return p;
            }
        const QString generated = dir.filePath(QStringLiteral("easylist.txt"));
        QFile file(generated);
        if (file.open(QIODevice::WriteOnly))
            file.write(generatedEasyList());
        std::fprintf(stderr, "list: generated (no EasyList installed)\n");
        return generated;
    }();
    return path;
}

QByteArray readList() {
    QFile file(listPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The baseline: reading the file's bytes, as the import does first.
void BM_ReadListFile(benchmark::State& state) {
    for (auto _ : state) {
        const QByteArray bytes = readList();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["bytes"] = double(readList().size());
}
BENCHMARK(BM_ReadListFile)->Unit(benchmark::kMillisecond);

// The whole import into an empty list: read, tell text, parse, leave out what is known,
// append the keywords, write their statistics records, build the matcher.
void BM_ImportList(benchmark::State& state) {
    fakes::Transcript transcript;
    fakes::FakeDialogs dialogs(transcript);
    int added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fakes::FakeFiles files;
        keywords::KeywordList list;
        keywords::Statistics statistics;
        keywords::StatisticsFile statisticsFile(files, dialogs, statistics);
        keywords::ListImport import(files, dialogs, list, statisticsFile);
        state.ResumeTiming();
        const auto result = import.importBytes(readList());
        benchmark::DoNotOptimize(list.matcher().keywordCount());
        added = result ? result->added : -1;
    }
    state.counters["added"] = added;
}
BENCHMARK(BM_ImportList)->Unit(benchmark::kMillisecond);

// The same list imported again: everything is left out.
void BM_ImportListAgain(benchmark::State& state) {
    fakes::Transcript transcript;
    fakes::FakeDialogs dialogs(transcript);
    fakes::FakeFiles files;
    keywords::KeywordList list;
    keywords::Statistics statistics;
    keywords::StatisticsFile statisticsFile(files, dialogs, statistics);
    keywords::ListImport import(files, dialogs, list, statisticsFile);
    import.importBytes(readList());
    int ignored = 0;
    for (auto _ : state) {
        const auto result = import.importBytes(readList());
        ignored = result ? result->ignored : -1;
    }
    state.counters["ignored"] = ignored;
}
BENCHMARK(BM_ImportListAgain)->Unit(benchmark::kMillisecond);

QStringList hundredThousandKeywords() {
    QRandomGenerator rng(7);
    QStringList out;
    for (int i = 0; i < 100000; ++i)
        out.append(randomName(rng, 6, 12) + QStringLiteral(".com"));
    return out;
}

// A letter typed into the filter box over 100,000 keywords, then cleared.
void BM_FilterKeywords(benchmark::State& state) {
    controls::Form form(QStringLiteral("f"), QString());
    controls::ListView view(&form, QStringLiteral("ListView3"));
    view.addColumn(QStringLiteral("Filtre"), 1000);
    keywords::KeywordList list;
    list.assign(hundredThousandKeywords());
    view.bind(&list);
    int shown = 0;
    for (auto _ : state) {
        view.setFilterText(QStringLiteral("ab"));
        shown = view.rowCount();
        view.setFilterText(QString());
    }
    state.counters["shown"] = shown;
}
BENCHMARK(BM_FilterKeywords)->Unit(benchmark::kMillisecond);

// A click on the header of the counts over 100,000 statistics entries, then back.
void BM_SortStatistics(benchmark::State& state) {
    controls::Form form(QStringLiteral("f"), QString());
    controls::ListView view(&form, QStringLiteral("ListView2"));
    view.addColumn(QStringLiteral("Fermées"), 1000);
    view.addColumn(QStringLiteral("Mots clés"), 1000);
    keywords::Statistics statistics;
    QRandomGenerator rng(3);
    std::vector<keywords::Statistics::Entry> entries;
    for (const QString& k : hundredThousandKeywords())
        entries.push_back({k, qint64(rng.bounded(1000))});
    statistics.append(std::move(entries));
    view.bind(&statistics);
    for (auto _ : state) {
        view.setOrder(0, true);
        view.setOrder(-1, false);
    }
}
BENCHMARK(BM_SortStatistics)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
