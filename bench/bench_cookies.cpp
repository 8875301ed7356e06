// Cookie manager speed: parsing big or damaged cookie files, listing a folder of thousands of
// cookie files.
#include "app/Program.h"
#include "cookies/CookieManager.h"
#include "cookies/CookieParser.h"
#include "fakes/FakePlatform.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {

QString manyRecords(int count) {
    QString text;
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("name%1\r\nvalue%1\r\nhost%1.com/\r\n1\r\n1\r\n2\r\n3\r\n4\r\n*\r\n")
                    .arg(i);
    return text;
}

// About 4 MB of records.
void BM_AnalyseManyRecords(benchmark::State& state) {
    const QString text = manyRecords(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(cookies::parseRecords(text, QStringLiteral("/c/x.txt")));
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_AnalyseManyRecords)->Arg(10000)->Arg(80000)->Unit(benchmark::kMillisecond);

// One record of many lines, no "*" at all, NUL bytes: the damaged files.
void BM_AnalyseOneHugeRecord(benchmark::State& state) {
    QString text;
    for (int i = 0; i < state.range(0); ++i)
        text += QStringLiteral("line") + QChar(0) + QStringLiteral("\r\n");
    for (auto _ : state)
        benchmark::DoNotOptimize(cookies::parseRecords(text, QStringLiteral("/c/x.txt")));
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_AnalyseOneHugeRecord)->Arg(100000)->Arg(800000)->Unit(benchmark::kMillisecond);

void BM_AnalysisText(benchmark::State& state) {
    QByteArray bytes;
    for (int i = 0; i < state.range(0); ++i)
        bytes += "name\nvalue\nhost.com/\n1\n1\n2\n3\n4\n*\n";
    for (auto _ : state)
        benchmark::DoNotOptimize(cookies::analysisText(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_AnalysisText)->Arg(100000)->Unit(benchmark::kMillisecond);

// Listing a cookie folder of thousands of files, through the refresh command.
void BM_ListCookieFolder(benchmark::State& state) {
    fakes::FakePlatform fake;
    for (int i = 0; i < state.range(0); ++i)
        fake.files.setFile(QStringLiteral("/prog/Cookies/user@host%1.txt").arg(i), "x");
    fake.registry.setText(QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                                         "CurrentVersion\\Explorer\\Shell Folders"),
                          QStringLiteral("Cookies"), QStringLiteral("/prog/Cookies"));
    app::Program program(fake.platform());
    app::MainForm& form = program.form();
    program.cookieManager().loadAtStartup();
    for (auto _ : state) {
        program.cookieManager().refresh();
        benchmark::DoNotOptimize(form.cookieFileView.rowCount());
    }
}
BENCHMARK(BM_ListCookieFolder)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
