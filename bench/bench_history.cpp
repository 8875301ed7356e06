// The history tab on a journal of 10 MB (the size at which it rotates): opening it finds
// where the records are; showing a screen of rows reads only those rows. Also the cost of
// one closure's record, appended to the full file, and of a tick of the keyword scan that
// consults a list of allowed sites.
#include "app/Program.h"
#include "fakes/FakePlatform.h"
#include "platform/linux/LinuxFiles.h"
#include "watch/Csv.h"
#include "watch/JournalFile.h"
#include "watch/JournalHistory.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A journal of `bytes` bytes in a temporary folder, of records as a browsing day makes them.
struct FullJournal {
    QTemporaryDir dir;
    int records = 0;
    explicit FullJournal(qint64 bytes) {
        QByteArray text = watch::JournalFile::header();
        QDateTime when(QDate(2026, 1, 1), QTime(8, 0, 0));
        static const char* causes[] = {"mot clé", "pop-up sans clic", "petite fenêtre",
                                       "pop-up d'une petite fenêtre"};
        while (text.size() < bytes - 200) {
            text += watch::csv::record(
                {when.toString(QStringLiteral("yyyy-MM-dd")),
                 when.toString(QStringLiteral("HH:mm:ss")), QString::fromUtf8(causes[records % 4]),
                 records % 4 ? QString() : QStringLiteral("doubleclick"),
                 QStringLiteral("Offre spéciale n°%1 - Gagnez, maintenant !").arg(records),
                 QStringLiteral("https://ads%1.example.com/click?id=%2&campaign=hiver")
                     .arg(records % 97)
                     .arg(records)});
            when = when.addSecs(17);
            ++records;
        }
        QFile file(dir.filePath(QStringLiteral("Journal.csv")));
        if (file.open(QIODevice::WriteOnly))
            file.write(text);
    }
};

void BM_HistoryOpen10MB(benchmark::State& state) {
    FullJournal full(watch::JournalFile::kRotateBytes);
    platform::linuxp::LinuxFiles files(full.dir.path());
    fakes::FakePlatform fake;
    watch::JournalFile journal(files, fake.clock, fake.dialogs);
    journal.setFolder(full.dir.path());
    for (auto _ : state) {
        watch::JournalHistory history(journal);
        history.open();
        // A screen of rows, as the list shows them when the tab opens.
        for (int r = 0; r < 40; ++r)
            for (int c = 0; c < 6; ++c)
                benchmark::DoNotOptimize(history.cell(r, c));
        if (history.rowCount() != full.records || history.recordsRead() != 40)
            state.SkipWithError("not every record found, or more than the rows shown read");
    }
    state.counters["records"] = full.records;
}
BENCHMARK(BM_HistoryOpen10MB)->Unit(benchmark::kMillisecond);

// Scrolling: a screen of rows further down, never read before.
void BM_HistoryScreenOfRows(benchmark::State& state) {
    FullJournal full(watch::JournalFile::kRotateBytes);
    platform::linuxp::LinuxFiles files(full.dir.path());
    fakes::FakePlatform fake;
    watch::JournalFile journal(files, fake.clock, fake.dialogs);
    journal.setFolder(full.dir.path());
    watch::JournalHistory history(journal);
    history.open();
    int first = 0;
    for (auto _ : state) {
        for (int r = first; r < first + 40; ++r)
            for (int c = 0; c < 6; ++c)
                benchmark::DoNotOptimize(history.cell(r, c));
        first = (first + 997) % (history.rowCount() - 40);
    }
}
BENCHMARK(BM_HistoryScreenOfRows)->Unit(benchmark::kMicrosecond);

// One closure's record appended to a journal just under its limit.
void BM_JournalAppend(benchmark::State& state) {
    FullJournal full(watch::JournalFile::kRotateBytes - 1024 * 1024);
    platform::linuxp::LinuxFiles files(full.dir.path());
    fakes::FakePlatform fake;
    watch::JournalFile journal(files, fake.clock, fake.dialogs);
    journal.setFolder(full.dir.path());
    const watch::Closure closure{watch::ClosureTotals::ByKeyword, QStringLiteral("pub"),
                                 QStringLiteral("Offre"), QStringLiteral("http://ads.example/")};
    for (auto _ : state)
        journal.append(closure);
}
BENCHMARK(BM_JournalAppend)->Unit(benchmark::kMicrosecond);

// A tick of the keyword scan over 50 windows with 200 allowed sites (nothing matches).
void BM_KeywordScanTickWithAllowedSites(benchmark::State& state) {
    fakes::FakePlatform fake;
    app::Program program(fake.platform());
    program.load();
    fake.transcript.take();
    program.keywords.assign({QStringLiteral("zzzz-never")});
    QStringList sites;
    for (int i = 0; i < 200; ++i)
        sites.append(QStringLiteral("site%1.example.org").arg(i));
    program.allowedSites.assign(sites);
    for (int i = 0; i < 50; ++i) {
        auto* w = fake.browser.open(platform::WindowHandle(i + 1));
        w->url =
            QStringLiteral("https://www.page%1.example.com/articles/2026/some-path?x=%1").arg(i);
        w->title = QStringLiteral("Page %1").arg(i);
    }
    for (auto _ : state)
        program.keywordScan().tick();
}
BENCHMARK(BM_KeywordScanTickWithAllowedSites)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
