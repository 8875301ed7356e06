#include "antispy/FileSearch.h"
#include "antispy/RegistrySearch.h"
#include "antispy/SpyList.h"
#include "app/Program.h"
#include "dialer/DialerBlock.h"
#include "fakes/FakePlatform.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <random>

using fakes::FakeFiles;
using fakes::FakePlatform;

namespace {

void setEntries(app::MainForm& f, const QStringList& entries) {
    f.spyNameList.clear();
    for (const QString& e : entries)
        f.spyNameList.addItem(e);
}

// One plain walk per entry, the way the search is defined: the folder's matching files in
// listing order, then each visible, real subfolder in turn.
void referenceWalk(const FakeFiles& fs, bool recurse, const QString& folder, const QString& entry,
                   QStringList& out) {
    const auto listing = fs.list(folder.isEmpty() ? QStringLiteral("/") : folder);
    if (!listing)
        return;
    const QRegularExpression re = QRegularExpression::fromWildcard(entry, Qt::CaseInsensitive);
    QStringList subfolders;
    for (const platform::DirEntry& e : *listing) {
        const QString path = folder + u'/' + e.name;
        const platform::FileAttributes a = fs.attributes(path);
        if (!a.exists || a.hidden || a.system)
            continue;
        if (a.directory) {
            if (!a.symlink)
                subfolders.append(path);
        } else if (re.match(e.name).hasMatch()) {
            out.append(folder + u'/' + e.name.toUpper());
        }
    }
    if (recurse)
        for (const QString& sub : subfolders)
            referenceWalk(fs, recurse, sub, entry, out);
}

struct Running {
    FakePlatform fp;
    app::Program program{fp.platform()};
    app::MainForm& f = program.form();
    Running() {
        program.load();
        fp.transcript.take();
    }
};

} // namespace

TEST(FileSearch, OneWalkFindsWhatAWalkPerEntryFinds) {
    const QStringList names{"a.jse",     "B.JSE",  "tsadbot.exe", "TsadBot.Exe", "g1.txt",
                            "g12.txt",   ".h.jse", "ab",          "Ba",          "readme",
                            "x.jse.bak", "NE.EXE", "ne.exe",      "gsc0.txt",    "b"};
    const QStringList patterns{"*.jse", "tsadbot.exe", "g?.txt", "*a*", "B", "NE.EXE", "*"};
    for (unsigned seed = 1; seed <= 20; ++seed) {
        Running p;
        FakeFiles& fs = p.fp.files;
        std::mt19937 rng(seed);
        QStringList folders{"/t"};
        fs.makeFolder("/t");
        for (int i = 0; i < 60; ++i) {
            const QString parent = folders.at(int(rng() % folders.size()));
            switch (rng() % 6) {
            case 0:
            case 1: {
                const QString dir = parent + (rng() % 5 == 0 ? "/.d" : "/d") + QString::number(i);
                fs.makeFolder(dir);
                folders.append(dir);
                break;
            }
            case 2:
                // A link back up the tree, or out of it.
                fs.setSymlink(parent + "/l" + QString::number(i),
                              rng() % 2 ? QStringLiteral("/t") : QStringLiteral("/outside"));
                break;
            default:
                fs.setFile(parent + u'/' + names.at(int(rng() % names.size())), "x");
            }
        }
        fs.setFile("/outside/a.jse", "x");
        if (seed % 4 == 0)
            fs.setHidden(folders.last() + "/" + names.at(0), true);

        for (const bool recurse : {true, false}) {
            setEntries(p.f, patterns);
            p.f.recurseSwitch.setValue(recurse ? 1 : 0);
            p.f.folderList.setPath("/t");
            p.f.findSpywareButton.click();
            QStringList expected;
            for (const QString& entry : patterns)
                referenceWalk(fs, recurse, QStringLiteral("/t"), entry, expected);
            ASSERT_EQ(p.program.fileSearch().foundFiles(), expected) << "seed " << seed;
            ASSERT_EQ(p.f.foundFileList.items(), expected);
            ASSERT_TRUE(p.fp.transcript.take().isEmpty());
        }
    }
}

TEST(FileSearch, RootStartFolderGivesOneSlashAndLinksToFilesAreListedNotFollowed) {
    Running p;
    p.fp.files.setFile("/top.jse", "x");
    p.fp.files.setFile("/real/target.txt", "keep");
    p.fp.files.setSymlink("/data/alias.jse", "/real/target.txt");
    setEntries(p.f, {"*.jse"});
    p.f.folderList.setPath("/");
    p.f.findSpywareButton.click();
    EXPECT_EQ(p.f.foundFileList.items(), QStringList({"/TOP.JSE", "/data/ALIAS.JSE"}));
    // Deleting the listed link removes the link, never the file it points at.
    p.f.foundFileList.setSelected(1, true);
    p.f.deleteFoundButton.click();
    EXPECT_FALSE(p.fp.files.attributes("/data/alias.jse").symlink);
    EXPECT_EQ(p.fp.files.readAll("/real/target.txt"), QByteArray("keep"));
    EXPECT_EQ(p.f.foundFileList.items(), QStringList({"/TOP.JSE"}));
}

TEST(SpyList, SavedListReadsBackUnchanged) {
    const QStringList entries{"a,b", " lead", "trail ", "plain.exe", "*.jse", "é.exe", "x,y,z"};
    FakePlatform fp;
    {
        app::Program fProgram(fp.platform());
        fProgram.load();
        app::MainForm& f = fProgram.form();
        EXPECT_EQ(f.spyNameList.items(), antispy::SpyList::defaultEntries());
        f.saveSpyNamesButton.click();
        const auto bytes = fp.files.readAll("/prog/ListeSpy.dat");
        ASSERT_TRUE(bytes);
        EXPECT_EQ(bytes->count("\r\n"), 65);
        setEntries(f, entries);
        f.saveSpyNamesButton.click();
    }
    app::Program againProgram(fp.platform());
    againProgram.load();
    app::MainForm& again = againProgram.form();
    EXPECT_EQ(again.spyNameList.items(), entries);
    EXPECT_FALSE(again.addSpyNameButton.enabled());
    EXPECT_FALSE(again.deleteSpyNameButton.enabled());
}

TEST(SpyList, AnEmptyFileGivesAnEmptyList) {
    FakePlatform fp;
    fp.files.setFile("/prog/ListeSpy.dat", "");
    app::Program fProgram(fp.platform());
    fProgram.load();
    app::MainForm& f = fProgram.form();
    EXPECT_EQ(f.spyNameList.count(), 0);
}

TEST(RegistrySearch, AKeyThatCannotBeOpenedIsSkippedAndEveryKeyIsClosed) {
    Running p;
    auto& reg = p.fp.registry;
    reg.createKey("HKEY_CLASSES_ROOT\\a\\TSADBOT.EXE.x");
    reg.createKey("HKEY_CLASSES_ROOT\\locked\\tsadbot.exe");
    reg.createKey("HKEY_CLASSES_ROOT\\b\\c\\d\\my-tsadbot.exe");
    reg.deniedKeys << "HKEY_CLASSES_ROOT\\locked";
    setEntries(p.f, {"tsadbot.exe", ""});
    p.f.registrySearchButton.click();
    EXPECT_EQ(p.f.foundFileList.items(),
              QStringList({"HKEY_CLASSES_ROOT\\a\\TSADBOT.EXE.x",
                           "HKEY_CLASSES_ROOT\\b\\c\\d\\my-tsadbot.exe"}));
    EXPECT_EQ(reg.openHandles(), 0);
    EXPECT_TRUE(p.fp.transcript.take().isEmpty());
}

TEST(DialerBlock, SwitchingOffDeletesOnlyTheAddOnInTheSystemFolder) {
    Running p;
    p.fp.files.setFile("/system/Sondrel.dll", "MZ");
    p.fp.files.setFile("/prog/Sondrel.dll", "MZ");
    EXPECT_EQ(p.program.dialerBlock().addOnPath(), QStringLiteral("/system/Sondrel.dll"));
    // What start-up does with the switch off.
    p.program.dialerBlock().set(0);
    EXPECT_FALSE(p.fp.files.attributes("/system/Sondrel.dll").exists);
    EXPECT_TRUE(p.fp.files.attributes("/prog/Sondrel.dll").exists);
    EXPECT_TRUE(p.f.dialerBlockSwitch.enabled());
    // Any value but 1 is off; with nothing there it does nothing.
    p.program.dialerBlock().set(2);
    EXPECT_TRUE(p.f.dialerBlockSwitch.enabled());
    EXPECT_EQ(p.f.dialerBlockSwitch.value(), 0);
}

namespace {
class TwoVolumes : public FakeFiles {
public:
    QStringList volumes() const override { return {"/", "/media/usb", "/media/gone"}; }
};
} // namespace

TEST(FileSearch, ChoosingADriveThatCannotBeReadChangesNothing) {
    FakePlatform fp;
    TwoVolumes files;
    files.makeFolder("/media/usb/stuff");
    platform::Platform bundle{fp.browser,  files,     fp.settings,  fp.dialogs,
                              fp.clock,    fp.sound,  fp.processes, fp.instance,
                              fp.registry, fp.system, fp.notifier};
    app::Program fProgram(bundle);
    fProgram.load();
    app::MainForm& f = fProgram.form();
    EXPECT_EQ(f.driveList.currentDrive(), QStringLiteral("/"));
    EXPECT_EQ(f.folderList.path(), QStringLiteral("/"));
    f.driveList.choose(1);
    EXPECT_EQ(f.folderList.path(), QStringLiteral("/media/usb"));
    EXPECT_EQ(f.folderList.folders(), QStringList({"stuff"}));
    f.driveList.choose(2);
    EXPECT_EQ(f.driveList.currentDrive(), QStringLiteral("/media/usb"));
    EXPECT_EQ(f.folderList.path(), QStringLiteral("/media/usb"));
    f.folderList.openFolder(0);
    EXPECT_EQ(f.folderList.path(), QStringLiteral("/media/usb/stuff"));
    f.folderList.openParent();
    f.folderList.openParent();
    f.folderList.openParent();
    EXPECT_EQ(f.folderList.path(), QStringLiteral("/"));
    f.folderList.openParent();
    EXPECT_EQ(f.folderList.path(), QStringLiteral("/"));
}

// Both searches keep the form busy while they let events run, and every way out of them,
// the refused start included, leaves it idle again.
TEST(FileSearch, SearchesHoldTheFormBusyUntilTheyEnd) {
    Running p;
    QList<bool> changes;
    QObject::connect(&p.f, &controls::Form::busyChanged,
                     [&changes](bool busy) { changes.append(busy); });
    int idleDuringSearch = 0;
    p.fp.processes.onProcessEvents = [&] { idleDuringSearch += p.f.busy() ? 0 : 1; };
    p.fp.files.setFile("/t/d/a.jse", "x");
    setEntries(p.f, {"*.jse"});
    p.f.recurseSwitch.setValue(1);
    p.f.folderList.setPath("/t");
    p.f.findSpywareButton.click();
    EXPECT_EQ(p.f.foundFileList.items(), QStringList({"/t/d/A.JSE"}));
    EXPECT_EQ(changes, QList<bool>({true, false}));

    p.fp.registry.createKey("HKEY_CLASSES_ROOT\\a.jse");
    p.f.registrySearchButton.click();
    EXPECT_EQ(changes, QList<bool>({true, false, true, false}));
    EXPECT_EQ(idleDuringSearch, 0);

    // Without a list of names the search gives up with its message.
    setEntries(p.f, {});
    p.f.findSpywareButton.click();
    EXPECT_TRUE(p.fp.transcript.take().join(u'\n').contains(QStringLiteral("Recherche abandon")));
    EXPECT_EQ(changes, QList<bool>({true, false, true, false, true, false}));
    EXPECT_FALSE(p.f.busy());
}
