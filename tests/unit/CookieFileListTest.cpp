#include "controls/FileList.h"
#include "cookies/CookieManager.h"
#include "fakes/FakeFiles.h"

#include <gtest/gtest.h>

using controls::FileList;

TEST(CookieFileList, ListsOrdinaryMatchingFilesOfOneFolder) {
    fakes::FakeFiles files;
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
