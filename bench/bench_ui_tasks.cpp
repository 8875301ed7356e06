// The longest task of the interface thread when the user adds, edits or deletes a keyword,
// chooses a keyword file or imports a filter list, with 100,000 keywords, beside the same with
// 1,000: the command's own handler, the next tick of the keyword scan, and every event the
// event loop runs in the 1.5 s after (each timed by QCoreApplication::notify). Also tells
// whether the change took effect at the next tick (a window showing the new keyword closed,
// or one showing the deleted keyword left open).
// Usage: tavrel-bench-tasks [ROUNDS]   (TAVREL_KEYWORD_LIST: see BenchData.h)
#include "BenchData.h"
#include "app/Program.h"
#include "fakes/FakePlatform.h"
#include "platform/linux/LinuxFiles.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

qint64 threadNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

struct Longest {
    qint64 wallNs = 0;
    qint64 cpuNs = 0;
    void add(qint64 wall, qint64 cpu) {
        wallNs = std::max(wallNs, wall);
        cpuNs = std::max(cpuNs, cpu);
    }
};

// Times every event the loop delivers (the outermost delivery only).
class TimedApp : public QCoreApplication {
public:
    using QCoreApplication::QCoreApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        if (m_depth > 0 || !longest)
            return QCoreApplication::notify(receiver, event);
        ++m_depth;
        QElapsedTimer wall;
        wall.start();
        const qint64 cpu = threadNs();
        const bool done = QCoreApplication::notify(receiver, event);
        longest->add(wall.nsecsElapsed(), threadNs() - cpu);
        if (qEnvironmentVariableIsSet("TAVREL_BENCH_DEBUG") && threadNs() - cpu > 10000000)
            std::fprintf(stderr, "long event: %s type %d, %.1f ms\n",
                         receiver->metaObject()->className(), int(event->type()),
                         double(threadNs() - cpu) / 1e6);
        --m_depth;
        return done;
    }
    Longest* longest = nullptr;

private:
    int m_depth = 0;
};

TimedApp* timedApp = nullptr;

template <typename F> void task(Longest& longest, F&& f) {
    QElapsedTimer wall;
    wall.start();
    const qint64 cpu = threadNs();
    f();
    longest.add(wall.nsecsElapsed(), threadNs() - cpu);
}

void runLoop(Longest& longest, int ms) {
    timedApp->longest = &longest;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    timedApp->longest = nullptr;
}

QByteArray listBytes(const QStringList& words) {
    return (words.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

struct Outcome {
    Longest command;       // the command's handler
    Longest tick;          // the next tick of the keyword scan
    Longest events;        // each event the loop ran after
    qint64 background = 0; // from the command to the list read on its own thread
    int effective = 0;
    int rounds = 0;
    Longest longest() const {
        Longest l = command;
        l.add(tick.wallNs, tick.cpuNs);
        l.add(events.wallNs, events.cpuNs);
        return l;
    }
};

class World {
public:
    explicit World(int keywords) : m_words(bench::keywordList(keywords)) {
        writeFile(QStringLiteral("ListeUrl.dat"), listBytes(m_words));
        platform::Platform& f = fake.platform();
        real = std::make_unique<platform::Platform>(
            platform::Platform{f.browser, files, f.settings, f.dialogs, f.clock, f.sound,
                               f.processes, f.instance, f.registry, f.system, f.notifier});
        program = std::make_unique<app::Program>(*real);
        program->load();
        fake.transcript.take();
        for (int i = 1; i <= 50; ++i) {
            auto* w = fake.browser.open(platform::WindowHandle(i));
            w->title = QStringLiteral("Page numéro %1 - un titre assez long").arg(i);
            w->url = QStringLiteral("https://site%1.example.org/section/article-%1.html").arg(i);
        }
        program->form().keywordScanTimer.setEnabled(true);
        program->form().keywordScanTimer.tick();
        Longest ignored;
        runLoop(ignored, 2000);
    }

    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        return path;
    }

    /// Runs one command, then the next tick with a window showing `shown`; true when that
    /// window's fate was `closes`.
    template <typename F> bool round(Outcome& o, F&& command, const QString& shown, bool closes) {
        ++m_nextHandle;
        const int journal = program->journal.size();
        const quint64 revision = program->keywords.revision();
        task(o.command, command);
        // A large file is read on a thread of its own: the list changes when it is read.
        if (program->keywords.revision() == revision) {
            QElapsedTimer waited;
            waited.start();
            timedApp->longest = &o.events;
            while (program->keywords.revision() == revision && waited.elapsed() < 5000)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            timedApp->longest = nullptr;
            o.background = std::max(o.background, waited.nsecsElapsed());
        }
        auto* w = fake.browser.open(platform::WindowHandle(m_nextHandle));
        w->title = QStringLiteral("Une page");
        w->url = QStringLiteral("https://") + shown + QStringLiteral("/index.html");
        task(o.tick, [&] { program->form().keywordScanTimer.tick(); });
        const bool closed = program->journal.size() > journal;
        fake.browser.settle();
        if (!closed)
            fake.browser.close(platform::WindowHandle(m_nextHandle));
        runLoop(o.events, 1500);
        ++o.rounds;
        if (closed == closes)
            ++o.effective;
        return closed == closes;
    }

    controls::ListView& keywordView() { return program->form().keywordListView; }

    fakes::FakePlatform fake;
    QTemporaryDir m_dir;
    platform::linuxp::LinuxFiles files{m_dir.path()};
    std::unique_ptr<platform::Platform> real;
    std::unique_ptr<app::Program> program;
    QStringList m_words;
    int m_nextHandle = 1000;
};

double ms(qint64 ns) {
    return double(ns) / 1e6;
}

void report(const char* what, const Outcome& big, const Outcome& small) {
    std::printf("%-8s %9.2f ms %9.2f ms   %9.2f ms %9.2f ms   %d/%d    %6.2f %6.2f %6.2f   %6.1f\n",
                what, ms(big.longest().wallNs), ms(big.longest().cpuNs), ms(small.longest().wallNs),
                ms(small.longest().cpuNs), big.effective, big.rounds, ms(big.command.cpuNs),
                ms(big.tick.cpuNs), ms(big.events.cpuNs), ms(big.background));
    std::fflush(stdout);
}

std::map<QString, Outcome> measure(int keywords, int rounds) {
    World w(keywords);
    std::map<QString, Outcome> out;
    auto& f = w.program->form();
    auto& dialogs = w.fake.dialogs;
    for (int i = 0; i < rounds; ++i) {
        const QString added = QStringLiteral("zz-added-%1.example").arg(i);
        dialogs.inputAnswers.push_back(added);
        w.round(
            out[QStringLiteral("add")], [&] { f.addKeywordButton.click(); }, added, true);

        const QString edited = QStringLiteral("zz-edited-%1.example").arg(i);
        w.keywordView().setSelected(1, true);
        dialogs.inputAnswers.push_back(edited);
        w.round(
            out[QStringLiteral("edit")], [&] { f.editKeywordButton.click(); }, edited, true);

        w.keywordView().setSelected(0, true);
        const QString deleted = w.program->keywords.at(w.keywordView().selectedSourceRow());
        w.round(
            out[QStringLiteral("delete")], [&] { f.deleteKeywordButton.click(); }, deleted, false);

        const QString chosenWord = QStringLiteral("zz-chosen-%1.example").arg(i);
        QStringList chosen = w.m_words;
        chosen.append(chosenWord);
        dialogs.fileAnswers.push_back(
            w.writeFile(QStringLiteral("Choisi%1.dat").arg(i), listBytes(chosen)));
        w.round(
            out[QStringLiteral("choose")], [&] { f.chooseKeywordFileButton.click(); }, chosenWord,
            true);

        const QString imported = QStringLiteral("zz-imported-%1.example").arg(i);
        QByteArray list;
        if (const QString easy = bench::easyListPath(); !easy.isEmpty()) {
            QFile file(easy);
            if (file.open(QIODevice::ReadOnly))
                list = file.readAll();
        }
        list += "\n||" + imported.toUtf8() + "^\n";
        dialogs.fileAnswers.push_back(w.writeFile(QStringLiteral("liste%1.txt").arg(i), list));
        w.round(
            out[QStringLiteral("import")], [&] { f.importListButton.click(); }, imported, true);
        w.fake.transcript.take();
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    TimedApp app(argc, argv);
    timedApp = &app;
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    std::printf("the longest task of the interface thread (goal: 16 ms at 100,000 keywords), "
                "over %d rounds\n",
                rounds);
    auto big = measure(100000, rounds);
    auto small = measure(1000, rounds);
    std::printf("%-8s %12s %12s   %12s %12s   %s   %s   %s\n", "", "100,000 wall", "thread CPU",
                "1,000 wall", "thread CPU", "next tick", "CPU ms: command, tick, events",
                "read on a thread (ms)");
    for (const char* what : {"add", "edit", "delete", "choose", "import"})
        report(what, big[QString::fromLatin1(what)], small[QString::fromLatin1(what)]);
    return 0;
}
