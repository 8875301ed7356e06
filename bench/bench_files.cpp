// Files, each beside its baseline in the same run, on the disk of the temporary folder
// (TMPDIR):
//   saves     the keyword file and the statistics file of 100,000 keywords saved, beside the
//             raw write of the same bytes: open, write, fsync, close, fsync of the folder. The
//             save writes a temporary file and renames it over, with the same two fsyncs: both
//             sides count them. The median of several saves of each.
//   statistics row   a new keyword's statistics record appended (file and list, with its list
//             view and chart), at 10,000, 50,000 and 100,000 rows: the same time means O(1).
//   spyware search   the search over a tree of 100,000 files (1,000 folders of 100), beside
//             `find TREE` (a bare walk, its output thrown away) in the same run.
// Usage: tavrel-bench-files [saves|row|search|all]   (TAVREL_KEYWORD_LIST: see BenchData.h)
#include "BenchData.h"
#include "app/Program.h"
#include "fakes/FakePlatform.h"
#include "platform/linux/LinuxFiles.h"
#include "platform/linux/LinuxProcesses.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The raw write of the bytes, synced as a save is.
double rawWriteMs(const QString& folder, const QByteArray& bytes) {
    QElapsedTimer t;
    t.start();
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/raw.dat"));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    qsizetype done = 0;
    while (fd >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0)
            break;
        done += n;
    }
    ::fsync(fd);
    ::close(fd);
    const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    ::fsync(dir);
    ::close(dir);
    return double(t.nsecsElapsed()) / 1e6;
}

struct World {
    explicit World(const QStringList& keywords) {
        QFile file(dir.filePath(QStringLiteral("ListeUrl.dat")));
        if (file.open(QIODevice::WriteOnly))
            file.write((keywords.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
        file.close();
        platform::Platform& f = fake.platform();
        real = std::make_unique<platform::Platform>(
            platform::Platform{f.browser, files, f.settings, f.dialogs, f.clock, f.sound, processes,
                               f.instance, f.registry, f.system, f.notifier});
        program = std::make_unique<app::Program>(*real);
        program->load();
        fake.transcript.take();
    }
    fakes::FakePlatform fake;
    QTemporaryDir dir;
    platform::linuxp::LinuxFiles files{dir.path()};
    platform::linuxp::LinuxProcesses processes;
    std::unique_ptr<platform::Platform> real;
    std::unique_ptr<app::Program> program;
};

void saves() {
    World w(bench::keywordList(100000));
    const QString folder = w.dir.path();
    auto& keywordFile = w.program->keywordFile();
    auto& statisticsFile = w.program->statisticsFile();
    const QString keywordPath = folder + QStringLiteral("/ListeUrl.dat");
    std::vector<double> save, raw, saveStats, rawStats;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer t;
        t.start();
        keywordFile.save(keywordPath, keywords::SaveMode::Explicit);
        save.push_back(double(t.nsecsElapsed()) / 1e6);
        QFile written(keywordPath);
        written.open(QIODevice::ReadOnly);
        raw.push_back(rawWriteMs(folder, written.readAll()));

        t.start();
        statisticsFile.save(keywords::SaveMode::Explicit);
        saveStats.push_back(double(t.nsecsElapsed()) / 1e6);
        QFile stats(statisticsFile.path());
        stats.open(QIODevice::ReadOnly);
        rawStats.push_back(rawWriteMs(folder, stats.readAll()));
    }
    std::printf("save of the keyword file (100,000):  %7.2f ms, raw write %7.2f ms: %.2f times "
                "(goal 3)\n",
                median(save), median(raw), median(save) / median(raw));
    std::printf("save of the statistics (100,000):    %7.2f ms, raw write %7.2f ms: %.2f times "
                "(goal 3)\n",
                median(saveStats), median(rawStats), median(saveStats) / median(rawStats));
}

void statisticsRow() {
    for (int rows : {10000, 50000, 100000}) {
        World w(bench::keywordList(rows));
        std::vector<double> times;
        for (int i = 0; i < 50; ++i) {
            QElapsedTimer t;
            t.start();
            w.program->statisticsFile().appendRecord(QStringLiteral("zz-row-%1.example").arg(i));
            times.push_back(double(t.nsecsElapsed()) / 1e3);
        }
        std::printf("statistics row added at %6d rows: %8.1f us (median of 50)\n", rows,
                    median(times));
    }
}

// 1,000 folders of 100 files each, in 10 folders of 100; a few names are spyware's.
void makeTree(const QString& root) {
    for (int a = 0; a < 10; ++a)
        for (int b = 0; b < 100; ++b) {
            const QString folder = QStringLiteral("%1/d%2/s%3").arg(root).arg(a).arg(b);
            QDir().mkpath(folder);
            for (int f = 0; f < 100; ++f) {
                const QString name = (f == 7 && b % 10 == 0)
                                         ? QStringLiteral("hotbar%1.dll").arg(a)
                                         : QStringLiteral("fichier-%1.txt").arg(f);
                const int fd = ::open(QFile::encodeName(folder + u'/' + name).constData(),
                                      O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
                ::close(fd);
            }
        }
}

void search() {
    QTemporaryDir tree;
    makeTree(tree.path());
    World w(bench::keywordList(1000));
    auto& f = w.program->form();
    f.spyNameList.clear();
    for (const char* name : {"hotbar*.dll", "bonzi*.exe", "*.scr", "gator.exe", "cydoor*"})
        f.spyNameList.addItem(QString::fromLatin1(name));
    f.recurseSwitch.setValue(1);
    f.folderList.setPath(tree.path());
    const QByteArray find = "find '" + QFile::encodeName(tree.path()) + "' > /dev/null";
    std::vector<double> walk, searched;
    int found = 0;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        if (std::system(find.constData()) != 0)
            std::fprintf(stderr, "find failed\n");
        walk.push_back(double(t.nsecsElapsed()) / 1e6);
        t.start();
        f.findSpywareButton.click();
        searched.push_back(double(t.nsecsElapsed()) / 1e6);
        found = f.foundFileList.count();
    }
    std::printf("spyware search, 100,000 files:       %7.1f ms, find %7.1f ms: %.2f times "
                "(goal 1.5); %d found\n",
                median(searched), median(walk), median(searched) / median(walk), found);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QByteArray what = argc > 1 ? QByteArray(argv[1]) : QByteArray("all");
    if (what == "saves" || what == "all")
        saves();
    if (what == "row" || what == "all")
        statisticsRow();
    if (what == "search" || what == "all")
        search();
    return 0;
}
