#include "controls/FileList.h"
#include "cookies/CookieManager.h"
#include "platform/fake/FakeFiles.h"

#include <gtest/gtest.h>

using controls::FileList;
using controls::matchesPattern;

TEST(CookieFileList, PatternsIgnoreCaseAndMatchWholeNames) {
    EXPECT_TRUE(matchesPattern("me@x.txt", "*.txt"));
    EXPECT_TRUE(matchesPattern("ME@X.TXT", "*.txt"));
    EXPECT_TRUE(matchesPattern(".txt", "*.txt"));
    EXPECT_FALSE(matchesPattern("me.txt.bak", "*.txt"));
    EXPECT_FALSE(matchesPattern("metxt", "*.txt"));
    EXPECT_TRUE(matchesPattern("a.txt.txt", "*.txt"));
    EXPECT_TRUE(matchesPattern("ab", "a?"));
    EXPECT_FALSE(matchesPattern("a", "a?"));
    EXPECT_TRUE(matchesPattern("anything", "*"));
    EXPECT_FALSE(matchesPattern(QString(5000, u'a') + "b", "*a*a*a*c"));
}

TEST(CookieFileList, ListsOrdinaryMatchingFilesOfOneFolder) {
    platform::fake::FakeFiles files;
    files.setFile("/c/b.txt", "1");
    files.setFile("/c/A.TXT", "1");
    files.setFile("/c/ro.txt", "1");
    files.setReadOnly("/c/ro.txt", true);
    files.setFile("/c/.hidden.txt", "1");
    files.setFile("/c/index.dat", "1");
    files.setFile("/c/sub/deep.txt", "1");
    files.makeFolder("/c/dir.txt");
    FileList list(nullptr, "FL", files, "*.txt");
    EXPECT_EQ(list.count(), 0);
    list.setPath("/c");
    EXPECT_EQ(list.names(), QStringList({"A.TXT", "b.txt", "ro.txt"}));
    files.setFile("/c/a.txt", "1");
    list.refresh();
    EXPECT_EQ(list.count(), 4);
    list.setPath("/nowhere");
    EXPECT_EQ(list.count(), 0);
}

TEST(CookieFileList, TheCookieFolderCheck) {
    EXPECT_TRUE(cookies::isCookieFolder("/home/me/Cookies"));
    EXPECT_TRUE(cookies::isCookieFolder("/home/me/COOKIES"));
    EXPECT_TRUE(cookies::isCookieFolder("/cookies"));
    EXPECT_FALSE(cookies::isCookieFolder("cookies/me"));
    EXPECT_FALSE(cookies::isCookieFolder("/tmp"));
    EXPECT_FALSE(cookies::isCookieFolder(""));
}
