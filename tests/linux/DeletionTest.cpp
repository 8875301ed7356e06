// The spyware finder and the cookie manager over real folders: what they delete is the file
// that was listed, whatever happens to the path between the listing and the deletion.
#include "RealFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

// The finder of a started program, over real folders.
struct Finder : RealFiles {
    Finder() {
        writeFile(prog(QStringLiteral("ListeUrl.dat")), "pub\r\n");
        start();
        transcript();
    }
    void search(const QString& folder, const QStringList& names) {
        form().spyNameList.clear();
        for (const QString& n : names)
            form().spyNameList.addItem(n);
        form().recurseSwitch.setValue(1);
        form().folderList.setPath(folder);
        form().findSpywareButton.click();
    }
    void deleteAll() {
        form().selectAllFoundButton.click();
        form().deleteFoundButton.click();
    }
};

} // namespace

// A found file's folder replaced by a link between the search and the deletion: nothing
// outside the searched tree is deleted.
TEST(Deletion, FollowsNoLinkPutInThePathAfterTheSearch) {
    Finder p;
    const QString t = p.home.path(QStringLiteral("T"));
    const QString o = p.home.path(QStringLiteral("O"));
    ASSERT_TRUE(QDir().mkpath(t + QStringLiteral("/dir")));
    ASSERT_TRUE(QDir().mkpath(o));
    ASSERT_TRUE(writeFile(o + QStringLiteral("/spy.exe"), "v"));
    ASSERT_TRUE(writeFile(t + QStringLiteral("/dir/spy.exe"), "s"));
    p.search(t, {QStringLiteral("spy.exe")});
    ASSERT_EQ(p.form().foundFileList.count(), 1);

    ASSERT_TRUE(QDir(t + QStringLiteral("/dir")).removeRecursively());
    ASSERT_TRUE(QFile::link(o, t + QStringLiteral("/dir")));
    p.deleteAll();
    EXPECT_EQ(readFile(o + QStringLiteral("/spy.exe")), QByteArray("v"));
    EXPECT_EQ(p.form().foundFileList.count(), 1); // nothing deleted: the line stays
    EXPECT_EQ(p.transcript(),
              QStringList{"message none \"Tavrel\": \"Erreur '76' : Erreur pendant la "
                          "suppression du fichier.\""});
}

// A found file replaced by another one of the same name: the other one stays. (The found one
// is moved away rather than deleted: the system would give a deleted file's inode number to
// the next new file.)
TEST(Deletion, DeletesOnlyTheFileThatWasFound) {
    Finder p;
    const QString t = p.home.path(QStringLiteral("T"));
    ASSERT_TRUE(QDir().mkpath(t));
    ASSERT_TRUE(writeFile(t + QStringLiteral("/spy.exe"), "found"));
    p.search(t, {QStringLiteral("spy.exe")});
    ASSERT_TRUE(
        QFile::rename(t + QStringLiteral("/spy.exe"), p.home.path(QStringLiteral("moved"))));
    ASSERT_TRUE(writeFile(t + QStringLiteral("/spy.exe"), "new"));
    p.deleteAll();
    EXPECT_EQ(readFile(t + QStringLiteral("/spy.exe")), QByteArray("new"));
    EXPECT_EQ(p.transcript(),
              QStringList{"message none \"Tavrel\": \"Erreur '53' : Erreur pendant la "
                          "suppression du fichier.\""});
}

// Names are bytes: a name that is not UTF-8 is found, shown with U+FFFD and deleted; a file
// whose UTF-8 name shows the same is another file, and stays unless selected.
TEST(Deletion, NamesThatAreNotUtf8AreFoundAndDeletedExactly) {
    Finder p;
    const QString t = p.home.path(QStringLiteral("T"));
    ASSERT_TRUE(QDir().mkpath(t + QStringLiteral("/sub")));
    const QByteArray raw = native(t) + "/sub/spy\xff.exe";
    const QByteArray twin = native(t) + "/sub/spy\xef\xbf\xbd.exe";
    ASSERT_TRUE(writeRaw(raw, "raw"));
    ASSERT_TRUE(writeRaw(twin, "twin"));
    const QByteArray folder = native(t) + "/b\xe9";
    ASSERT_EQ(::mkdir(folder.constData(), 0755), 0);
    ASSERT_TRUE(writeRaw(folder + "/spy.exe", "in a folder named in Latin-1"));

    p.search(t, {QStringLiteral("spy*.exe")});
    EXPECT_EQ(p.form().foundFileList.items(),
              (QStringList{t + QStringLiteral("/b\uFFFD/SPY.EXE"),
                           t + QStringLiteral("/sub/SPY\uFFFD.EXE"),
                           t + QStringLiteral("/sub/SPY\uFFFD.EXE")}));
    // Names that show alike are listed in the order of their bytes: the third line is the
    // name in Latin-1.
    p.form().foundFileList.setSelected(2, true);
    p.form().deleteFoundButton.click();
    EXPECT_EQ(p.transcript(), QStringList{});
    EXPECT_EQ(readRaw(raw), QByteArray("<missing>"));
    EXPECT_EQ(readRaw(twin), QByteArray("twin"));
    EXPECT_EQ(p.form().foundFileList.count(), 2);
    p.deleteAll();
    EXPECT_EQ(p.transcript(), QStringList{});
    EXPECT_EQ(readRaw(twin), QByteArray("<missing>"));
    EXPECT_EQ(readRaw(folder + "/spy.exe"), QByteArray("<missing>"));
    ::rmdir(folder.constData()); // a name the temporary folder's cleanup cannot handle
}

// The cookie files: the same rules, without a message (a file that cannot be deleted stays).
TEST(Deletion, CookieFilesAreDeletedAsListed) {
    RealFiles p;
    const QString cookies = p.home.path(QStringLiteral("Cookies"));
    const QString other = p.home.path(QStringLiteral("Other"));
    ASSERT_TRUE(QDir().mkpath(cookies));
    ASSERT_TRUE(QDir().mkpath(other));
    ASSERT_TRUE(writeFile(cookies + QStringLiteral("/a.txt"), "a"));
    ASSERT_TRUE(writeRaw(native(cookies) + "/c\xff.txt", "raw"));
    ASSERT_TRUE(writeRaw(native(cookies) + "/c\xef\xbf\xbd.txt", "twin"));
    ASSERT_TRUE(writeFile(other + QStringLiteral("/a.txt"), "other"));
    p.fake.registry.setText(QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                                           "CurrentVersion\\Explorer\\Shell Folders"),
                            QStringLiteral("Cookies"), cookies);
    writeFile(p.prog(QStringLiteral("ListeUrl.dat")), "pub\r\n");
    p.start();
    app::MainForm& f = p.form();
    ASSERT_EQ(f.cookieFileView.rowCount(), 3);
    EXPECT_EQ(f.cookieFileView.text(1), QStringLiteral("c\uFFFD.txt"));
    EXPECT_EQ(f.cookieFileView.text(2), QStringLiteral("c\uFFFD.txt"));

    // Of the two names that show alike, the second is the one in Latin-1.
    f.cookieFileView.setSelected(2, true);
    p.fake.dialogs.messageAnswers.push_back(platform::MessageAnswer::Yes);
    f.deleteCookiesButton.click();
    EXPECT_EQ(readRaw(native(cookies) + "/c\xff.txt"), QByteArray("<missing>"));
    EXPECT_EQ(readRaw(native(cookies) + "/c\xef\xbf\xbd.txt"), QByteArray("twin"));
    ASSERT_EQ(f.cookieFileView.rowCount(), 2);

    // The folder replaced by a link after the listing: the file it leads to stays.
    f.cookieFileView.setSelected(0, true);
    ASSERT_TRUE(QDir(cookies).removeRecursively());
    ASSERT_TRUE(QFile::link(other, cookies));
    p.fake.dialogs.messageAnswers.push_back(platform::MessageAnswer::Yes);
    f.deleteCookiesButton.click();
    EXPECT_EQ(readFile(other + QStringLiteral("/a.txt")), QByteArray("other"));
}
