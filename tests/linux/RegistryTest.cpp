#include "UserHome.h"

#include "platform/linux/Autostart.h"
#include "platform/linux/LinuxRegistry.h"

#include <gtest/gtest.h>

using namespace platform;
using platform::linuxp::LinuxRegistry;

namespace {

const QString kRun = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");

QString readText(Registry& r, HKEY root, const QString& key, const QString& name, long* result) {
    HKEY h = 0;
    *result = r.openKey(root, key, KEY_READ, &h);
    if (*result != ERROR_SUCCESS)
        return {};
    std::uint32_t type = 0, size = 0;
    *result = r.queryValue(h, name, &type, nullptr, &size);
    QByteArray data;
    if (*result == ERROR_SUCCESS)
        *result = r.queryValue(h, name, &type, &data, &size);
    r.closeKey(h);
    return QString::fromUtf8(data.left(data.indexOf('\0')));
}

long writeText(Registry& r, HKEY root, const QString& key, const QString& name,
               const QByteArray& bytes) {
    HKEY h = 0;
    if (const long opened = r.openKey(root, key, KEY_ALL_ACCESS, &h); opened != ERROR_SUCCESS)
        return opened;
    QByteArray data = bytes;
    data.append('\0');
    const long result = r.setValue(h, name, REG_SZ, data);
    r.closeKey(h);
    return result;
}

long deleteValue(Registry& r, HKEY root, const QString& key, const QString& name) {
    HKEY h = 0;
    if (const long opened = r.openKey(root, key, KEY_ALL_ACCESS, &h); opened != ERROR_SUCCESS)
        return opened;
    const long result = r.deleteValue(h, name);
    r.closeKey(h);
    return result;
}

} // namespace

TEST(LinuxRegistry, StartEntryIsTheAutostartFile) {
    UserHome home;
    LinuxRegistry registry;
    const QString entry = home.path(QStringLiteral("config/autostart/Tavrel.desktop"));
    long result = 0;
    readText(registry, HKEY_LOCAL_MACHINE, kRun, QStringLiteral("Tavrel"), &result);
    EXPECT_EQ(result, ERROR_FILE_NOT_FOUND);

    const QString program = home.path(QStringLiteral("Mes programmes/tavrel"));
    // Written as the program writes it: Windows-1252 text with its NUL.
    QByteArray bytes = program.toLatin1();
    ASSERT_EQ(writeText(registry, HKEY_LOCAL_MACHINE, kRun, QStringLiteral("Tavrel"), bytes),
              ERROR_SUCCESS);
    const QByteArray file = readFile(entry);
    EXPECT_TRUE(file.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(file.contains("\nType=Application\n"));
    EXPECT_TRUE(file.contains("\nExec=\"" + QFile::encodeName(program) + "\"\n")) << file.data();
    EXPECT_EQ(readText(registry, HKEY_LOCAL_MACHINE, kRun, QStringLiteral("Tavrel"), &result),
              program);
    EXPECT_EQ(result, ERROR_SUCCESS);

    // Another value of the start key is an ordinary value, not the entry.
    EXPECT_EQ(writeText(registry, HKEY_LOCAL_MACHINE, kRun, QStringLiteral("Other"), "x"),
              ERROR_SUCCESS);
    EXPECT_EQ(deleteValue(registry, HKEY_LOCAL_MACHINE, kRun, QStringLiteral("Other")),
              ERROR_SUCCESS);
    EXPECT_TRUE(QFile::exists(entry));

    // An entry the user disabled in the session settings counts as absent.
    ASSERT_TRUE(writeFile(entry, readFile(entry) + "Hidden=true\n"));
    readText(registry, HKEY_LOCAL_MACHINE, kRun, QStringLiteral("Tavrel"), &result);
    EXPECT_EQ(result, ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(deleteValue(registry, HKEY_LOCAL_MACHINE, kRun, QStringLiteral("TAVREL")),
              ERROR_SUCCESS);
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_EQ(deleteValue(registry, HKEY_LOCAL_MACHINE, kRun, QStringLiteral("Tavrel")),
              ERROR_FILE_NOT_FOUND);
    // The start key of the other family of systems does not exist.
    EXPECT_EQ(writeText(registry, HKEY_LOCAL_MACHINE,
                        QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\RunServices"),
                        QStringLiteral("Tavrel"), "x"),
              ERROR_FILE_NOT_FOUND);
}

TEST(LinuxRegistry, StartEntryNamesTheProgramThatExists) {
    UserHome home;
    const QString program = home.path(QStringLiteral("tavrel"));
    ASSERT_TRUE(writeFile(program, "#!/bin/sh\n"));
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    LinuxRegistry registry;
    ASSERT_EQ(writeText(registry, HKEY_LOCAL_MACHINE, kRun, QStringLiteral("Tavrel"),
                        QFile::encodeName(program + QStringLiteral(".exe"))),
              ERROR_SUCCESS);
    long result = 0;
    EXPECT_EQ(readText(registry, HKEY_LOCAL_MACHINE, kRun, QStringLiteral("Tavrel"), &result),
              program);
}

TEST(LinuxRegistry, ExecLinesKeepAwkwardPaths) {
    using platform::linuxp::execLine;
    using platform::linuxp::programOfExecLine;
    EXPECT_EQ(execLine(QStringLiteral("/usr/bin/tavrel")), QStringLiteral("/usr/bin/tavrel"));
    for (const QString& path : {QStringLiteral("/opt/a b/tavrel"), QStringLiteral("/x/100%/t"),
                                QStringLiteral("/x/\"q\"/$HOME/`t`"),
                                QStringLiteral("/x/back\\slash/t"), QStringLiteral("/x/été/t")})
        EXPECT_EQ(programOfExecLine(execLine(path)), path) << execLine(path).toStdString();
    EXPECT_EQ(programOfExecLine(QStringLiteral("/usr/bin/tavrel --hidden %U")),
              QStringLiteral("/usr/bin/tavrel"));
}

TEST(LinuxRegistry, KeyTreePersistsAcrossInstances) {
    UserHome home;
    const QString tree = home.path(QStringLiteral("data/Tavrel/keys.json"));
    const QString clsid = QStringLiteral("HKEY_CLASSES_ROOT\\CLSID");
    {
        LinuxRegistry registry;
        EXPECT_EQ(registry.places().treeFile, tree);
        ASSERT_TRUE(registry.createKey(clsid + QStringLiteral("\\Zeta.Spy")));
        ASSERT_TRUE(registry.createKey(clsid + QStringLiteral("\\alpha.bar")));
        HKEY h = 0;
        ASSERT_EQ(registry.openKey(HKEY_CLASSES_ROOT, QStringLiteral("clsid\\ZETA.SPY"),
                                   KEY_ALL_ACCESS, &h),
                  ERROR_SUCCESS);
        EXPECT_EQ(registry.setValue(h, QStringLiteral("Texte"), REG_SZ,
                                    QStringLiteral("éàü, \"x\"").toUtf8() + '\0'),
                  ERROR_SUCCESS);
        EXPECT_EQ(
            registry.setValue(h, QStringLiteral("Number"), REG_DWORD, QByteArray("\x2A\0\0\0", 4)),
            ERROR_SUCCESS);
        EXPECT_EQ(
            registry.setValue(h, QStringLiteral("Raw"), REG_BINARY, QByteArray("\xFF\0\x01", 3)),
            ERROR_SUCCESS);
        EXPECT_EQ(registry.setValue(h, QStringLiteral("Gone"), REG_SZ, QByteArray("x\0", 2)),
                  ERROR_SUCCESS);
        EXPECT_EQ(registry.deleteValue(h, QStringLiteral("gone")), ERROR_SUCCESS);
        registry.closeKey(h);
    }
    ASSERT_TRUE(QFile::exists(tree));

    LinuxRegistry again;
    HKEY h = 0;
    ASSERT_EQ(again.openKey(HKEY_CLASSES_ROOT, QStringLiteral("CLSID"), KEY_READ, &h),
              ERROR_SUCCESS);
    QString name;
    EXPECT_EQ(again.enumKey(h, 0, &name, 261), ERROR_SUCCESS);
    EXPECT_EQ(name, QStringLiteral("Zeta.Spy")); // creation order and case kept
    EXPECT_EQ(again.enumKey(h, 1, &name, 261), ERROR_SUCCESS);
    EXPECT_EQ(name, QStringLiteral("alpha.bar"));
    EXPECT_EQ(again.enumKey(h, 2, &name, 261), ERROR_NO_MORE_ITEMS);
    again.closeKey(h);

    ASSERT_EQ(again.openKey(HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\Zeta.Spy"), KEY_READ, &h),
              ERROR_SUCCESS);
    std::uint32_t type = 0, size = 64;
    QByteArray data;
    EXPECT_EQ(again.queryValue(h, QStringLiteral("Texte"), &type, &data, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(data, QStringLiteral("éàü, \"x\"").toUtf8() + '\0');
    size = 64;
    EXPECT_EQ(again.queryValue(h, QStringLiteral("Number"), &type, &data, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(data, QByteArray("\x2A\0\0\0", 4));
    size = 2;
    EXPECT_EQ(again.queryValue(h, QStringLiteral("Raw"), &type, &data, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 3u);
    size = 3;
    EXPECT_EQ(again.queryValue(h, QStringLiteral("Raw"), &type, &data, &size), ERROR_SUCCESS);
    EXPECT_EQ(data, QByteArray("\xFF\0\x01", 3));
    EXPECT_EQ(again.queryValue(h, QStringLiteral("Gone"), &type, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(again.closeKey(h), ERROR_SUCCESS);
    EXPECT_EQ(again.closeKey(h), ERROR_INVALID_HANDLE);
}

TEST(LinuxRegistry, DamagedTreeIsKeptAsideAndUnsavedChangesAreRefused) {
    UserHome home;
    const QString tree = home.path(QStringLiteral("data/Tavrel/keys.json"));
    QDir().mkpath(home.path(QStringLiteral("data/Tavrel")));
    ASSERT_TRUE(writeFile(tree, "{ not json"));
    {
        LinuxRegistry registry;
        EXPECT_EQ(readFile(tree + QStringLiteral(".damaged")), QByteArray("{ not json"));
        HKEY h = 0;
        EXPECT_EQ(registry.openKey(HKEY_CLASSES_ROOT, QStringLiteral("CLSID"), KEY_READ, &h),
                  ERROR_FILE_NOT_FOUND);
    }

    // A tree that cannot be saved keeps what its file has, and says so.
    LinuxRegistry::Places places = LinuxRegistry::defaultPlaces();
    places.treeFile = home.path(QStringLiteral("blocked"));
    QDir().mkpath(places.treeFile + QStringLiteral("/x")); // a folder where the file should be
    LinuxRegistry registry(places);
    registry.createKey(QStringLiteral("HKEY_CURRENT_USER\\Software\\Tavrel"));
    HKEY h = 0;
    ASSERT_EQ(
        registry.openKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Tavrel"), KEY_ALL_ACCESS, &h),
        ERROR_SUCCESS);
    EXPECT_EQ(registry.setValue(h, QStringLiteral("V"), REG_SZ, QByteArray("1\0", 2)),
              ERROR_ACCESS_DENIED);
    std::uint32_t size = 0;
    EXPECT_EQ(registry.queryValue(h, QStringLiteral("V"), nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    registry.closeKey(h);
    EXPECT_TRUE(QFileInfo(places.treeFile + QStringLiteral("/x")).isDir());
}

TEST(LinuxRegistry, CookieFolderAndSystemInformation) {
    UserHome home;
    long result = 0;
    {
        LinuxRegistry registry;
        const QString folder = readText(
            registry, HKEY_CURRENT_USER,
            QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"),
            QStringLiteral("Cookies"), &result);
        EXPECT_EQ(result, ERROR_SUCCESS);
        EXPECT_EQ(folder, home.path(QStringLiteral("data/Tavrel/Cookies")));
        EXPECT_TRUE(QFileInfo(folder).isDir());
    }
    LinuxRegistry::Places places = LinuxRegistry::defaultPlaces();
    places.sysInfoProgram.clear();
    {
        LinuxRegistry without(places);
        readText(without, HKEY_LOCAL_MACHINE,
                 QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                 QStringLiteral("PATH"), &result);
        EXPECT_EQ(result, ERROR_FILE_NOT_FOUND);
    }
    places.sysInfoProgram = QStringLiteral("/usr/bin/hardinfo");
    LinuxRegistry with(places);
    EXPECT_EQ(readText(with, HKEY_LOCAL_MACHINE,
                       QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                       QStringLiteral("PATH"), &result),
              QStringLiteral("/usr/bin/hardinfo"));
    EXPECT_EQ(result, ERROR_SUCCESS);
}
