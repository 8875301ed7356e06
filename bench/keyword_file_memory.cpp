// Peak memory of loading a keyword list from a real folder: the load step (keyword file and
// statistics), the first keyword scan tick (which builds the matcher) and the save command.
// Usage: tavrel-keyword-memory FOLDER [load|scan|save]
//   FOLDER holds ListeUrl.dat (made by bench/make-keyword-files); Statistiques.dat is
//   removed first, so the load seeds it as a first start does. Prints the peak resident
//   size after each step up to the one named (default: save).
#include "app/Program.h"
#include "fakes/FakePlatform.h"
#include "platform/linux/LinuxFiles.h"

#include <QFile>
#include <cstdio>
#include <sys/resource.h>

namespace {

long peakKiB() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void report(const char* step) {
    std::printf("%-5s peak RSS %8.1f MiB\n", step, double(peakKiB()) / 1024.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [load|scan|save]\n", argv[0]);
        return 2;
    }
    const QString folder = QFile::decodeName(argv[1]);
    const QByteArray last = argc > 2 ? QByteArray(argv[2]) : QByteArray("save");
    QFile::remove(folder + QStringLiteral("/Statistiques.dat"));
    report("start");

    fakes::FakePlatform fake;
    platform::linuxp::LinuxFiles files(folder);
    platform::Platform& f = fake.platform();
    platform::Platform real{f.browser,   files,      f.settings, f.dialogs, f.clock,   f.sound,
                            f.processes, f.instance, f.registry, f.system,  f.notifier};
    app::Program program(real);
    program.load();
    std::printf("keywords %d, statistics %d\n", program.keywords.size(), program.statistics.size());
    for (const QString& line : fake.transcript.take())
        std::printf("  %s\n", qPrintable(line));
    report("load");
    if (last == "load")
        return 0;
    fake.browser.open(1);
    fake.browser.window(1)->title = QStringLiteral("a page");
    fake.browser.window(1)->url = QStringLiteral("https://example.org/");
    program.keywordScan().tick();
    report("scan");
    if (last == "scan")
        return 0;
    program.saveLists(keywords::SaveMode::Automatic); // the saves of the quit
    report("save");
    return 0;
}
