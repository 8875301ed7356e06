#include "UserHome.h"

#include "platform/linux/LinuxFiles.h"
#include "platform/linux/LinuxPaths.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace platform::linuxp;

TEST(DataFolders, WrittenFilesGoToTheUserDataFolderShippedOnesComeFromTheInstall) {
    UserHome home;
    LinuxFiles files;
    EXPECT_EQ(files.programFolder(), home.path(QStringLiteral("data/Tavrel")));
    EXPECT_TRUE(QFileInfo(files.programFolder()).isDir());
    EXPECT_EQ(LinuxFiles(QStringLiteral("/p"), QStringLiteral("/s")).shippedFolder(),
              QStringLiteral("/s"));

    // An install (or the build tree): PREFIX/bin and PREFIX/share/tavrel.
    const QString prefix = home.path(QStringLiteral("usr"));
    ASSERT_TRUE(QDir().mkpath(prefix + QStringLiteral("/bin")));
    EXPECT_EQ(shippedDataFolderFor(prefix + QStringLiteral("/bin")),
              prefix + QStringLiteral("/bin")); // no share/tavrel: the program's own folder
    ASSERT_TRUE(QDir().mkpath(prefix + QStringLiteral("/share/tavrel")));
    EXPECT_EQ(shippedDataFolderFor(prefix + QStringLiteral("/bin")),
              prefix + QStringLiteral("/share/tavrel"));
}

TEST(DataFolders, TheStarterListIsCopiedOnceAndNeverReplacesTheUsersList) {
    UserHome home;
    const QString shipped = home.path(QStringLiteral("share"));
    const QString data = home.path(QStringLiteral("data/Tavrel"));
    ASSERT_TRUE(QDir().mkpath(shipped) && QDir().mkpath(data));

    // Nothing shipped: nothing copied, and the program then says the list is missing.
    EXPECT_FALSE(seedKeywordList(data, shipped));
    EXPECT_FALSE(QFileInfo::exists(data + QStringLiteral("/ListeUrl.dat")));

    ASSERT_TRUE(writeFile(shipped + QStringLiteral("/ListeUrl.dat"), "pub\r\nads\r\n"));
    ASSERT_EQ(
        ::chmod(QFile::encodeName(shipped + QStringLiteral("/ListeUrl.dat")).constData(), 0444), 0);
    EXPECT_TRUE(seedKeywordList(data, shipped));
    EXPECT_EQ(readFile(data + QStringLiteral("/ListeUrl.dat")), QByteArray("pub\r\nads\r\n"));
    // The copy is the user's to change, whatever the shipped file's mode.
    EXPECT_TRUE(QFileInfo(data + QStringLiteral("/ListeUrl.dat")).isWritable());

    ASSERT_TRUE(writeFile(data + QStringLiteral("/ListeUrl.dat"), "mine\r\n"));
    EXPECT_TRUE(seedKeywordList(data, shipped));
    EXPECT_EQ(readFile(data + QStringLiteral("/ListeUrl.dat")), QByteArray("mine\r\n"));

    // A data folder that cannot be written: no half-written list is left behind.
    const QString locked = home.path(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(locked));
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0555), 0);
    if (::geteuid() != 0) {
        EXPECT_FALSE(seedKeywordList(locked, shipped));
        EXPECT_TRUE(QDir(locked).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }
    ::chmod(QFile::encodeName(locked).constData(), 0755);
}
