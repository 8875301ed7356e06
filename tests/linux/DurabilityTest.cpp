// Saves on the real file system: what a failed save leaves, what an interrupted one leaves,
// and who may read what the program writes.
#include "PrivateMount.h"
#include "RealFiles.h"

#include "platform/linux/LinuxRegistry.h"
#include "platform/linux/LinuxSettings.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace platform;
using platform::linuxp::LinuxFiles;

namespace {

QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

unsigned modeOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

// Sets the usual umask for the time of a test, so that "private" means something.
struct UsualUmask {
    mode_t before = ::umask(022);
    ~UsualUmask() { ::umask(before); }
};

// Fills a file system until it is full.
void fill(const QString& folder) {
    QFile filler(folder + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly))
        return;
    const QByteArray block(1024, 'f');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
}

#define SKIP_UNLESS_RAN(outcome)                                                                   \
    if (!(outcome).skipped.isEmpty())                                                              \
    GTEST_SKIP() << "no mount namespace here: " << (outcome).skipped.toStdString()

} // namespace

// A full disk or a read-only file system: the save fails with the reason, the previous file
// stays whole and no temporary file is left. Made in a private mount, so it holds for root.
TEST(PrivateMount, SaveOnFullOrReadOnlyFileSystemLeavesThePreviousFile) {
    UserHome home;
    const QString mnt = home.path(QStringLiteral("mnt"));
    ASSERT_TRUE(QDir().mkpath(mnt));
    const auto outcome = inPrivateMount(mnt, "64k", [&](PrivateMount& m) {
        QStringList failed;
        LinuxFiles files(mnt);
        const QString target = mnt + QStringLiteral("/ListeUrl.dat");
        writeFile(target, "old\r\n");
        check(failed, "a save too big for the disk fails with DiskFull",
              files.writeAll(target, QByteArray(256 * 1024, 'x')), FileError::DiskFull);
        check(failed, "the previous file stays whole", readFile(target), QByteArray("old\r\n"));
        check(failed, "no temporary file is left", namesIn(mnt), QStringList{"ListeUrl.dat"});
        check(failed, "an append too big fails with DiskFull",
              files.append(mnt + QStringLiteral("/Statistiques.dat"), QByteArray(256 * 1024, 'x')),
              FileError::DiskFull);
        if (!m.remountReadOnly())
            return failed << QStringLiteral("cannot remount read-only");
        check(failed, "a save on a read-only file system fails", files.writeAll(target, "new\r\n"),
              FileError::PermissionDenied);
        check(failed, "an append on a read-only file system fails", files.append(target, "new\r\n"),
              FileError::PermissionDenied);
        check(failed, "and the file stays", readFile(target), QByteArray("old\r\n"));
        return failed;
    });
    SKIP_UNLESS_RAN(outcome);
    EXPECT_EQ(outcome.failed, QStringList{});
}

// The program on a full disk: the save, hide and quit commands say which file was not saved
// and why, and the quit asks first.
TEST(PrivateMount, SavesOnAFullDiskAreReported) {
    UserHome home;
    const QString mnt = home.path(QStringLiteral("mnt"));
    ASSERT_TRUE(QDir().mkpath(mnt));
    RealFiles p(mnt);
    const auto outcome = inPrivateMount(mnt, "64k", [&](PrivateMount&) {
        QStringList failed;
        writeFile(p.prog(QStringLiteral("ListeUrl.dat")), "pub\r\n");
        p.start();
        p.program->keywords.append(QStringLiteral("new"));
        fill(mnt);
        p.transcript();
        p.fake.dialogs.messageAnswers.push_back(MessageAnswer::No);
        try {
            p.form().quitButton.click();
        } catch (const fakes::ProgramEnded&) {
            failed.append(QStringLiteral("the quit ended the program"));
        }
        const QString reason = QStringLiteral("\\rDisque plein\"");
        check(failed, "both failures are reported, then the question", p.transcript(),
              QStringList{"message warning \"Erreur\": \"Impossible d'enregistrer le fichier :\\r" +
                              p.prog(QStringLiteral("Statistiques.dat")) + reason,
                          "message warning \"Erreur\": \"Impossible d'enregistrer le fichier :\\r" +
                              p.prog(QStringLiteral("ListeUrl.dat")) + reason,
                          "message question \"Tavrel\": \"Des modifications n'ont pas pu être "
                          "enregistrées.\\rQuitter quand même ?\" -> no"});
        check(failed, "the list stays", readFile(p.prog(QStringLiteral("ListeUrl.dat"))),
              QByteArray("pub\r\n"));
        return failed;
    });
    SKIP_UNLESS_RAN(outcome);
    EXPECT_EQ(outcome.failed, QStringList{});
}

// A save killed before its rename leaves a temporary file: the next start removes those of
// its own files, and nothing else.
TEST(Program, StaleTemporariesOfItsSavesAreRemovedAtStart) {
    RealFiles p;
    const QString other = p.home.path(QStringLiteral("lists"));
    ASSERT_TRUE(QDir().mkpath(other));
    p.fake.settings.setValue(QStringLiteral("Tavrel"), QStringLiteral("Config"),
                             QStringLiteral("NomFichMotCle"), other + QStringLiteral("/hosts"));
    ASSERT_TRUE(writeFile(other + QStringLiteral("/hosts"), "pub\r\n"));
    const QStringList stale{p.prog(QStringLiteral(".ListeUrl.dat.tavrel-save-Ab12Cd")),
                            p.prog(QStringLiteral(".Statistiques.dat.tavrel-save-XyZ789")),
                            other + QStringLiteral("/.hosts.tavrel-save-000aaa")};
    const QStringList kept{p.prog(QStringLiteral("ListeUrl.dat.Ab12Cd")),
                           p.prog(QStringLiteral(".ListeUrl.dat.tavrel-save-Ab12Cd7")),
                           p.prog(QStringLiteral(".Other.dat.tavrel-save-Ab12Cd")),
                           other + QStringLiteral("/.hosts.tavrel-save-x")};
    for (const QString& f : stale + kept)
        ASSERT_TRUE(writeFile(f, "partial"));
    p.start();
    for (const QString& f : stale)
        EXPECT_FALSE(QFileInfo::exists(f)) << f.toStdString();
    for (const QString& f : kept)
        EXPECT_TRUE(QFileInfo::exists(f)) << f.toStdString();
}

// What the program creates is its user's alone: files 0600, folders 0700.
TEST(LinuxFiles, WhatTheProgramCreatesIsPrivate) {
    UsualUmask umask;
    RealFiles p;
    ASSERT_TRUE(writeFile(p.prog(QStringLiteral("ListeUrl.dat")), "pub\r\n"));
    ASSERT_EQ(::chmod(QFile::encodeName(p.prog(QStringLiteral("ListeUrl.dat"))).constData(), 0640),
              0);
    p.start(); // seeds Statistiques.dat
    EXPECT_EQ(modeOf(p.prog(QStringLiteral("Statistiques.dat"))), 0600u);
    p.form().saveKeywordsButton.click();
    EXPECT_EQ(modeOf(p.prog(QStringLiteral("ListeUrl.dat"))), 0640u); // the user's choice stays

    EXPECT_EQ(p.files.makeFolder(p.prog(QStringLiteral("a/b"))), FileError::None);
    EXPECT_EQ(modeOf(p.prog(QStringLiteral("a"))), 0700u);
    EXPECT_EQ(modeOf(p.prog(QStringLiteral("a/b"))), 0700u);
    EXPECT_EQ(p.files.append(p.prog(QStringLiteral("a/log")), "x"), FileError::None);
    EXPECT_EQ(modeOf(p.prog(QStringLiteral("a/log"))), 0600u);
    EXPECT_EQ(p.files.writeAll(p.prog(QStringLiteral("a/b/new")), "x"), FileError::None);
    EXPECT_EQ(modeOf(p.prog(QStringLiteral("a/b/new"))), 0600u);
    // A file of secrets (exported cookies) is its owner's alone, even over one others read.
    const QString secrets = p.prog(QStringLiteral("cookies.txt"));
    ASSERT_TRUE(writeFile(secrets, "old"));
    ASSERT_EQ(::chmod(QFile::encodeName(secrets).constData(), 0644), 0);
    EXPECT_EQ(p.files.writePrivate(secrets, "sid=1"), FileError::None);
    EXPECT_EQ(modeOf(secrets), 0600u);
    EXPECT_EQ(readFile(secrets), QByteArray("sid=1"));
    EXPECT_EQ(p.files.writePrivate(p.prog(QStringLiteral("a/b/cookies.txt")), "x"),
              FileError::None);
    EXPECT_EQ(modeOf(p.prog(QStringLiteral("a/b/cookies.txt"))), 0600u);

    // The settings, which hold the password as typed.
    {
        linuxp::LinuxSettings settings;
        settings.setValue(QStringLiteral("Tavrel"), QStringLiteral("Config"),
                          QStringLiteral("MotdePas"), QStringLiteral("secret"));
    }
    EXPECT_EQ(modeOf(p.home.path(QStringLiteral("config"))), 0700u);
    EXPECT_EQ(modeOf(p.home.path(QStringLiteral("config/Tavrel"))), 0700u);
    EXPECT_EQ(modeOf(p.home.path(QStringLiteral("config/Tavrel/Tavrel.ini"))), 0600u);

    // The key tree.
    linuxp::LinuxRegistry::Places places = linuxp::LinuxRegistry::defaultPlaces();
    places.treeFile = p.home.path(QStringLiteral("keys/keys.json"));
    {
        linuxp::LinuxRegistry registry(places);
        registry.createKey(QStringLiteral("HKEY_CURRENT_USER\\Software\\Tavrel"));
    }
    EXPECT_EQ(modeOf(p.home.path(QStringLiteral("keys"))), 0700u);
    EXPECT_EQ(modeOf(places.treeFile), 0600u);
}

// A damaged key tree is kept aside; a second one is kept too, beside the first.
TEST(LinuxRegistry, EveryDamagedTreeIsKeptAside) {
    UserHome home;
    linuxp::LinuxRegistry::Places places = linuxp::LinuxRegistry::defaultPlaces();
    places.treeFile = home.path(QStringLiteral("keys.json"));
    ASSERT_TRUE(writeFile(places.treeFile, "{ first"));
    { linuxp::LinuxRegistry registry(places); }
    ASSERT_TRUE(writeFile(places.treeFile, "{ second"));
    { linuxp::LinuxRegistry registry(places); }
    EXPECT_EQ(readFile(places.treeFile + QStringLiteral(".damaged")), QByteArray("{ first"));
    EXPECT_EQ(readFile(places.treeFile + QStringLiteral(".damaged.2")), QByteArray("{ second"));
}
