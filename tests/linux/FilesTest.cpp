#include "UserHome.h"

#include "platform/linux/LinuxFiles.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;
using platform::linuxp::LinuxFiles;

namespace {

QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

} // namespace

TEST(LinuxFiles, ReadOnlyFileIsDeletedOnlyAfterItsAttributesAreReset) {
    UserHome home;
    LinuxFiles files(home.path());
    const QString cookie = home.path(QStringLiteral("me@pub.txt"));
    ASSERT_TRUE(writeFile(cookie, "data"));
    ASSERT_EQ(::chmod(QFile::encodeName(cookie).constData(), 0444), 0);

    EXPECT_TRUE(files.attributes(cookie).readOnly);
    EXPECT_TRUE(FileExists(files, cookie)); // read-only files count as files
    EXPECT_EQ(files.writeAll(cookie, "new"), FileError::PermissionDenied);
    EXPECT_EQ(files.append(cookie, "new"), FileError::PermissionDenied);
    EXPECT_EQ(files.remove(cookie), FileError::PathFileAccess); // even for root
    EXPECT_EQ(readFile(cookie), QByteArray("data"));

    EXPECT_EQ(files.setNormal(cookie), FileError::None);
    EXPECT_FALSE(files.attributes(cookie).readOnly);
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(cookie).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u); // only the owner write bit is given back
    EXPECT_EQ(files.remove(cookie), FileError::None);
    EXPECT_FALSE(files.attributes(cookie).exists);
    EXPECT_EQ(files.remove(cookie), FileError::FileNotFound);
    EXPECT_EQ(files.remove(home.path(QStringLiteral("nowhere/x"))), FileError::PathNotFound);
    EXPECT_EQ(files.setNormal(cookie), FileError::FileNotFound);
    EXPECT_EQ(files.remove(home.path()), FileError::PathFileAccess);
}

TEST(LinuxFiles, AttributesAndListing) {
    UserHome home;
    LinuxFiles files(home.path());
    EXPECT_EQ(files.programFolder(), home.path());
    const QString dir = home.path(QStringLiteral("d"));
    ASSERT_TRUE(QDir().mkpath(dir + QStringLiteral("/sub")));
    ASSERT_TRUE(writeFile(dir + QStringLiteral("/b.txt"), "12345"));
    ASSERT_TRUE(writeFile(dir + QStringLiteral("/.hidden"), ""));
    ASSERT_TRUE(writeFile(dir + QStringLiteral("/A.TXT"), ""));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + QStringLiteral("/pipe")).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("sub"), dir + QStringLiteral("/link")));
    ASSERT_TRUE(QFile::link(QStringLiteral("missing"), dir + QStringLiteral("/dangling")));

    const FileAttributes file = files.attributes(dir + QStringLiteral("/b.txt"));
    EXPECT_TRUE(file.exists);
    EXPECT_FALSE(file.directory || file.hidden || file.system || file.readOnly || file.symlink);
    EXPECT_EQ(files.size(dir + QStringLiteral("/b.txt")), 5);
    EXPECT_TRUE(files.modified(dir + QStringLiteral("/b.txt")).has_value());
    EXPECT_FALSE(files.size(dir).has_value());
    EXPECT_TRUE(files.attributes(dir + QStringLiteral("/.hidden")).hidden);
    EXPECT_FALSE(FileExists(files, dir + QStringLiteral("/.hidden")));
    EXPECT_TRUE(files.attributes(dir + QStringLiteral("/pipe")).system);
    EXPECT_FALSE(FileExists(files, dir + QStringLiteral("/pipe")));
    const FileAttributes link = files.attributes(dir + QStringLiteral("/link"));
    EXPECT_TRUE(link.exists && link.symlink && link.directory);
    const FileAttributes dangling = files.attributes(dir + QStringLiteral("/dangling"));
    EXPECT_FALSE(dangling.exists);
    EXPECT_TRUE(dangling.symlink);

    int error = -1;
    const auto entries = files.list(dir, &error);
    ASSERT_TRUE(entries.has_value());
    EXPECT_EQ(error, FileError::None);
    QStringList names;
    for (const DirEntry& e : *entries)
        names.append(e.name + QString::fromLatin1(e.directory ? "/" : "") +
                     QString::fromLatin1(e.symlink ? "@" : ""));
    EXPECT_EQ(names,
              (QStringList{".hidden", "A.TXT", "b.txt", "dangling@", "link/@", "pipe", "sub/"}));
    EXPECT_FALSE(files.list(home.path(QStringLiteral("none")), &error).has_value());
    EXPECT_EQ(error, FileError::PathNotFound);

    EXPECT_EQ(files.readAll(home.path(QStringLiteral("none")), &error), std::nullopt);
    EXPECT_EQ(error, FileError::FileNotFound);
    EXPECT_EQ(files.readAll(home.path(QStringLiteral("none/x")), &error), std::nullopt);
    EXPECT_EQ(error, FileError::PathNotFound);
    EXPECT_EQ(files.readAll(dir, &error), std::nullopt);
    EXPECT_EQ(error, FileError::PathFileAccess);
    EXPECT_EQ(files.readAll(dir + QStringLiteral("/b.txt"), &error), QByteArray("12345"));

    EXPECT_EQ(files.makeFolder(dir + QStringLiteral("/new/deeper")), FileError::None);
    EXPECT_EQ(files.makeFolder(dir + QStringLiteral("/b.txt")), FileError::PathFileAccess);
    EXPECT_EQ(files.append(dir + QStringLiteral("/new/log"), "a"), FileError::None);
    EXPECT_EQ(files.append(dir + QStringLiteral("/new/log"), "b"), FileError::None);
    EXPECT_EQ(readFile(dir + QStringLiteral("/new/log")), QByteArray("ab"));
}

TEST(LinuxFiles, FailedSaveLeavesThePreviousFileWhole) {
    UserHome home;
    LinuxFiles files(home.path());
    const QString dir = home.path(QStringLiteral("prog"));
    const QString target = dir + QStringLiteral("/ListeUrl.dat");
    ASSERT_TRUE(QDir().mkpath(dir));
    ASSERT_TRUE(writeFile(target, "old\r\n"));
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);

    // A save replaces the content and keeps the file's permissions.
    EXPECT_EQ(files.writeAll(target, "pub\r\n"), FileError::None);
    EXPECT_EQ(readFile(target), QByteArray("pub\r\n"));
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(namesIn(dir), QStringList{"ListeUrl.dat"});

    // The disk fills up during the write: the old content stays, no temporary file is left.
    {
        struct rlimit before;
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
        struct rlimit small = before;
        small.rlim_cur = 1024;
        auto* previous = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const int result = files.writeAll(target, QByteArray(64 * 1024, 'x'));
        ::setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, previous);
        EXPECT_NE(result, FileError::None);
    }
    EXPECT_EQ(readFile(target), QByteArray("pub\r\n"));
    EXPECT_EQ(namesIn(dir), QStringList{"ListeUrl.dat"});

    // A folder standing where the file should be is left alone.
    ASSERT_TRUE(QDir().mkpath(dir + QStringLiteral("/Stats.dat/inside")));
    EXPECT_EQ(files.writeAll(dir + QStringLiteral("/Stats.dat"), "x"), FileError::PathFileAccess);
    EXPECT_TRUE(QFileInfo(dir + QStringLiteral("/Stats.dat/inside")).isDir());
    EXPECT_EQ(files.writeAll(home.path(QStringLiteral("none/x")), "x"), FileError::PathNotFound);

    // A folder that cannot be written to (only for a user whom permissions stop).
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(QFile::encodeName(dir).constData(), 0555), 0);
        EXPECT_NE(files.writeAll(target, "lost"), FileError::None);
        ::chmod(QFile::encodeName(dir).constData(), 0755);
        EXPECT_EQ(readFile(target), QByteArray("pub\r\n"));
    }

    // Saving through a link writes the file it names and keeps the link.
    const QString link = home.path(QStringLiteral("link.dat"));
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_EQ(files.writeAll(link, "via link"), FileError::None);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFile(target), QByteArray("via link"));
}

// The lasting journal reads parts of a large file and renames it when it rotates.
TEST(LinuxFiles, ReadsAPartOfAFileAndRenamesOverAnother) {
    UserHome home;
    LinuxFiles files(home.path());
    const QString journal = home.path(QStringLiteral("Journal.csv"));
    const QString old = home.path(QStringLiteral("Journal.1.csv"));
    ASSERT_TRUE(writeFile(journal, "0123456789"));
    ASSERT_TRUE(writeFile(old, "older"));
    EXPECT_EQ(files.readPart(journal, 2, 3), QByteArray("234"));
    EXPECT_EQ(files.readPart(journal, 8, 100), QByteArray("89"));
    EXPECT_EQ(files.readPart(journal, 20, 5), QByteArray());
    EXPECT_FALSE(files.readPart(journal, -1, 5).has_value());
    EXPECT_FALSE(files.readPart(home.path(QStringLiteral("missing")), 0, 5).has_value());

    EXPECT_EQ(files.rename(journal, old), FileError::None);
    EXPECT_FALSE(QFileInfo::exists(journal));
    EXPECT_EQ(readFile(old), QByteArray("0123456789"));
    EXPECT_EQ(files.rename(journal, old), FileError::FileNotFound);
    EXPECT_EQ(readFile(old), QByteArray("0123456789"));
}
