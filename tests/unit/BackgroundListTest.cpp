// Large keyword files read on a thread of their own: the list stays whole until they are taken
// in, every change and save takes them in first, and going away while one is read is safe.

#include "app/Program.h"
#include "fakes/FakePlatform.h"
#include "keywords/BackgroundWork.h"
#include "keywords/KeywordList.h"
#include "keywords/ListImport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>

using keywords::BackgroundWork;
using keywords::KeywordList;

namespace {

// The event loop the results come back through.
struct Loop {
    int argc = 1;
    char name[8] = "tests";
    char* argv[1] = {name};
    QCoreApplication app{argc, argv};

    // Runs events until `done` holds (or a generous delay passes: the test then fails).
    template <typename F> bool runUntil(F&& done) {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        return done();
    }
};

std::vector<int> found(const KeywordList& list, const QString& url) {
    std::vector<int> out;
    list.matcher().findAll(url, u"", out);
    return out;
}

// "w0.example\r\n" ... : a list file larger than what is read on the interface thread.
QByteArray largeList(const char* stem, int count) {
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += stem + QByteArray::number(i) + ".example\r\n";
    EXPECT_GT(bytes.size(), BackgroundWork::kLargeInput);
    return bytes;
}

} // namespace

TEST(BackgroundWork, ResultsComeBackOnTheLoopOrAtOnceInTheOrderStarted) {
    Loop loop;
    BackgroundWork work;
    std::vector<int> delivered;
    std::atomic<bool> release{false};
    work.run<int>(
        [&] {
            while (!release)
                std::this_thread::yield();
            return 1;
        },
        [&](int v) { delivered.push_back(v); });
    EXPECT_TRUE(work.busy());
    EXPECT_TRUE(delivered.empty());
    release = true;
    ASSERT_TRUE(loop.runUntil([&] { return !work.busy(); }));
    EXPECT_EQ(delivered, std::vector<int>{1});

    // Work started while other work runs hands that one's result back first.
    work.run<int>([] { return 2; }, [&](int v) { delivered.push_back(v); });
    work.run<int>([] { return 3; }, [&](int v) { delivered.push_back(v); });
    EXPECT_EQ(delivered, (std::vector<int>{1, 2}));
    // finish() waits and hands it back now; the event the thread posted then does nothing.
    work.finish();
    EXPECT_EQ(delivered, (std::vector<int>{1, 2, 3}));
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered, (std::vector<int>{1, 2, 3}));
}

TEST(BackgroundWork, GoingAwayWhileWorkRunsWaitsAndDropsTheResult) {
    Loop loop;
    bool delivered = false;
    auto work = std::make_unique<BackgroundWork>();
    work->run<QStringList>(
        [] {
            QStringList many;
            for (int i = 0; i < 200000; ++i)
                many.append(QString::number(i));
            return many;
        },
        [&](QStringList) { delivered = true; });
    work.reset();
    QCoreApplication::processEvents();
    EXPECT_FALSE(delivered);
}

TEST(BackgroundList, TheListStaysWholeUntilTheNewWordsAreTakenIn) {
    Loop loop;
    KeywordList list;
    list.assign({QStringLiteral("old"), QStringLiteral("Pub")});
    const quint64 before = list.revision();
    std::atomic<bool> release{false};
    list.assignInBackground([&] {
        while (!release)
            std::this_thread::yield();
        return KeywordList::prepare({QStringLiteral("New"), QStringLiteral("ads")});
    });
    // Meanwhile the scans see the old words, their matcher agreeing with them.
    EXPECT_TRUE(list.replacing());
    EXPECT_EQ(list.revision(), before);
    EXPECT_EQ(found(list, QStringLiteral("http://old.example/pub")), (std::vector<int>{0, 1}));
    EXPECT_TRUE(found(list, QStringLiteral("http://new.example/ads")).empty());
    int resets = 0;
    QObject::connect(&list, &controls::RowSource::reset, [&] { ++resets; });
    release = true;
    ASSERT_TRUE(loop.runUntil([&] { return !list.replacing(); }));
    EXPECT_EQ(resets, 1);
    EXPECT_GT(list.revision(), before);
    EXPECT_EQ(list.words(), (QStringList{"New", "ads"}));
    EXPECT_EQ(list.lowered(0), QStringLiteral("new"));
    EXPECT_EQ(found(list, QStringLiteral("http://new.example/ads")), (std::vector<int>{0, 1}));
    EXPECT_TRUE(found(list, QStringLiteral("http://old.example/pub")).empty());
}

TEST(BackgroundList, ChangesMadeWhileWordsArePreparedApplyToTheNewWords) {
    // No event loop at all: each change takes the new words in itself.
    KeywordList list;
    list.assign({QStringLiteral("old")});
    list.assignInBackground([] { return KeywordList::prepare({QStringLiteral("a")}); });
    list.append(QStringLiteral("added"));
    EXPECT_FALSE(list.replacing());
    EXPECT_EQ(list.words(), (QStringList{"a", "added"}));
    EXPECT_EQ(found(list, QStringLiteral("http://added.example/")), (std::vector<int>{0, 1}));

    list.assignInBackground([] {
        return KeywordList::prepare({QStringLiteral("x"), QStringLiteral("y")});
    });
    list.replace(1, QStringLiteral("Z"));
    EXPECT_EQ(list.words(), (QStringList{"x", "Z"}));
    EXPECT_EQ(found(list, QStringLiteral("z")), std::vector<int>{1});
    list.assignInBackground([] {
        return KeywordList::prepare({QStringLiteral("p"), QStringLiteral("q")});
    });
    list.removeAt(0);
    EXPECT_EQ(list.words(), QStringList{"q"});
    EXPECT_EQ(found(list, QStringLiteral("pq")), std::vector<int>{0});
}

namespace {

struct Started {
    fakes::FakePlatform fake;
    std::unique_ptr<app::Program> program;
    Started() {
        fake.files.setFile("/prog/ListeUrl.dat", "a\r\n");
        fake.files.setFile("/prog/Statistiques.dat", "\"a\",\"3\"\r\n");
        fake.files.setFile("/prog/Tavrel.wav", "RIFF");
        fake.files.makeFolder("/prog/Cookies");
        fake.registry.setText("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                              "Explorer\\Shell Folders",
                              "Cookies", "/prog/Cookies");
        program = std::make_unique<app::Program>(fake.platform());
        program->load();
    }
    app::MainForm& form() { return program->form(); }
    // Chooses a keyword file with the chooser.
    void choose(const QString& path) {
        fake.dialogs.fileAnswers.push_back(path);
        form().chooseKeywordFileButton.click();
    }
};

} // namespace

TEST(BackgroundList, ALargeChosenFileIsSavedAsReadAndAddedKeywordsFollowIt) {
    Loop loop;
    Started s;
    s.fake.files.setFile("/prog/big.dat", largeList("w", 30000));
    s.choose(QStringLiteral("/prog/big.dat"));
    // Added before the file is read: the keyword comes after its words, found at once.
    s.fake.dialogs.inputAnswers.push_back(QStringLiteral("Added"));
    s.form().addKeywordButton.click();
    EXPECT_FALSE(s.program->keywords.replacing());
    ASSERT_EQ(s.program->keywords.size(), 30001);
    EXPECT_EQ(s.program->keywords.at(0), QStringLiteral("w29999.example"));
    EXPECT_EQ(s.program->keywords.at(30000), QStringLiteral("Added"));
    EXPECT_EQ(found(s.program->keywords, QStringLiteral("http://added/w7.example")),
              (std::vector<int>{29992, 30000}));

    // Chosen again then saved at once (quitting): the file gets its own words back, not the
    // list that was shown before it was read.
    s.choose(QStringLiteral("/prog/big.dat"));
    EXPECT_TRUE(s.program->keywords.replacing());
    s.program->saveLists(keywords::SaveMode::Automatic);
    EXPECT_EQ(s.program->keywords.size(), 30000);
    const QByteArray saved = *s.fake.files.readAll("/prog/big.dat");
    EXPECT_TRUE(saved.startsWith("w29999.example\r\nw29998.example\r\n")) << saved.left(40).data();
    EXPECT_FALSE(saved.contains("Added"));

    // The selected row deleted while a file is read is a row of the file's words.
    s.fake.files.setFile("/prog/other.dat", largeList("o", 30000));
    s.form().keywordListView.setSelected(0, true);
    s.choose(QStringLiteral("/prog/other.dat"));
    s.form().deleteKeywordButton.click();
    EXPECT_EQ(s.program->keywords.size(), 30000);
    EXPECT_EQ(s.program->keywords.at(0), QStringLiteral("o29999.example"));
}

TEST(BackgroundList, QuittingWhileAFileIsReadIsSafe) {
    Loop loop;
    auto s = std::make_unique<Started>();
    s->fake.files.setFile("/prog/big.dat", largeList("w", 30000));
    s->choose(QStringLiteral("/prog/big.dat"));
    s.reset(); // the program goes while the file is read; its words are dropped
    QCoreApplication::processEvents();
    SUCCEED();
}

TEST(BackgroundList, ALargeImportIsAddedSliceBySliceOrCompletedBeforeASave) {
    Loop loop;
    Started s;
    QByteArray hosts;
    for (int i = 0; i < 20000; ++i)
        hosts += "0.0.0.0 h" + QByteArray::number(i) + ".example\n";
    hosts += "0.0.0.0 A\n"; // listed already
    s.fake.files.setFile("/prog/hosts", hosts);
    s.fake.transcript.take();
    auto& import = s.program->listImport();

    s.fake.dialogs.fileAnswers.push_back(QStringLiteral("/prog/hosts"));
    s.form().importListButton.click();
    ASSERT_TRUE(loop.runUntil([&] { return !import.importing(); }));
    const QString told = QStringLiteral("message information \"Importer une liste\": \"20000 mots "
                                        "clés ajoutés, 1 ignorés.\"");
    EXPECT_EQ(s.fake.transcript.take().last(), told);
    ASSERT_EQ(s.program->keywords.size(), 20001);
    EXPECT_EQ(s.program->keywords.at(20000), QStringLiteral("h19999.example"));
    EXPECT_EQ(s.program->statistics.size(), 20001);

    // An import chosen while a list file is read follows its words, and saving right away
    // (quitting) saves both whole.
    s.fake.files.setFile("/prog/big.dat", largeList("w", 30000));
    s.fake.files.setFile("/prog/hosts", hosts + "0.0.0.0 last.example\n0.0.0.0 w5.example\n");
    s.choose(QStringLiteral("/prog/big.dat"));
    s.fake.dialogs.fileAnswers.push_back(QStringLiteral("/prog/hosts"));
    s.form().importListButton.click();
    s.fake.transcript.take();
    s.program->saveLists(keywords::SaveMode::Automatic);
    EXPECT_FALSE(import.importing());
    EXPECT_EQ(s.fake.transcript.take().value(0),
              QStringLiteral("message information \"Importer une liste\": \"20002 mots clés "
                             "ajoutés, 1 ignorés.\""));
    ASSERT_EQ(s.program->keywords.size(), 50002);
    EXPECT_EQ(s.program->keywords.at(30000), QStringLiteral("h0.example"));
    EXPECT_EQ(s.program->keywords.at(50001), QStringLiteral("last.example"));
    EXPECT_TRUE(s.fake.files.readAll("/prog/big.dat")->endsWith("\r\nlast.example\r\n"));
    EXPECT_EQ(s.program->statistics.size(), 40003);

    // A file chosen while an import is under way comes after it, as the commands were given.
    s.fake.dialogs.fileAnswers.push_back(QStringLiteral("/prog/hosts"));
    s.form().importListButton.click();
    s.choose(QStringLiteral("/prog/ListeUrl.dat"));
    const QStringList transcript = s.fake.transcript.take();
    ASSERT_EQ(transcript.size(), 3);
    EXPECT_TRUE(transcript.at(1).startsWith(
        QStringLiteral("message information \"Importer une liste\": \"0 mots clés")));
    EXPECT_TRUE(transcript.at(2).startsWith(QStringLiteral("filedialog \"Choix")));
    EXPECT_EQ(s.program->keywords.words(), QStringList{"a"});
}
