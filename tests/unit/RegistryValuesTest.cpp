#include "app/RegistryValues.h"
#include "app/Program.h"
#include "app/StartWithSession.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

using namespace app;
using namespace platform;

namespace {

const QString kKey = QStringLiteral("Software\\Test");
const QString kPath = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Test");

// A system of the other family, with its own short form of paths.
class OtherSystem : public fakes::FakeSystem {
public:
    bool isNTPlatform() const override { return nt; }
    QString shortPath(const QString& path) const override { return shortForms.value(path); }
    bool nt = false;
    QMap<QString, QString> shortForms;
};

struct Fixture : ::testing::Test {
    fakes::FakePlatform fake;
    RegistryValues reg{fake.platform()};
    QByteArray stored(const QString& name) {
        HKEY key = 0;
        EXPECT_EQ(fake.registry.openKey(HKEY_LOCAL_MACHINE, kKey, KEY_READ, &key), 0);
        std::uint32_t type = 0, size = 1024;
        QByteArray data;
        fake.registry.queryValue(key, name, &type, &data, &size);
        fake.registry.closeKey(key);
        return data;
    }
};

} // namespace

TEST_F(Fixture, TextsAndNumbersRoundTripAndEveryKeyIsClosed) {
    fake.registry.createKey(kPath);
    // A text is stored in the file encoding with its NUL counted in the length.
    EXPECT_EQ(reg.writeValue(HKEY_LOCAL_MACHINE, kKey, "t", QStringLiteral("/opt/été")), 0);
    EXPECT_EQ(stored("t"), QByteArray("/opt/\xE9t\xE9\0", 9));
    EXPECT_EQ(fake.registry.dump(kPath), QStringList{kPath + "\\t = \"/opt/été\""});
    EXPECT_EQ(reg.writeValue(HKEY_LOCAL_MACHINE, kKey, "n16", std::int16_t(-1)), 0);
    EXPECT_EQ(stored("n16"), QByteArray(4, '\xFF'));
    EXPECT_EQ(reg.writeValue(HKEY_LOCAL_MACHINE, kKey, "n32", std::int32_t(70000)), 0);

    RegValue v;
    EXPECT_EQ(reg.readValue(HKEY_LOCAL_MACHINE, kKey, "t", v), 0);
    EXPECT_EQ(std::get<QString>(v), QStringLiteral("/opt/été"));
    EXPECT_EQ(reg.readValue(HKEY_LOCAL_MACHINE, kKey, "n32", v), 0);
    EXPECT_EQ(std::get<std::int32_t>(v), 70000);
    EXPECT_EQ(reg.readValue(HKEY_LOCAL_MACHINE, kKey, "n16", v), 0);
    EXPECT_EQ(std::get<std::int32_t>(v), -1);
    EXPECT_EQ(fake.registry.openHandles(), 0);
}

TEST_F(Fixture, OtherKindsWriteNothingAndOtherTypesReadNothing) {
    fake.registry.createKey(kPath);
    EXPECT_EQ(reg.writeValue(HKEY_LOCAL_MACHINE, kKey, "d", 1.5), 0);
    EXPECT_EQ(reg.writeValue(HKEY_LOCAL_MACHINE, kKey, "e", RegValue{}), 0);
    EXPECT_TRUE(fake.registry.dump(kPath).isEmpty());

    // A text is cut at its first NUL; a binary value leaves the out value as it was.
    HKEY key = 0;
    fake.registry.openKey(HKEY_LOCAL_MACHINE, kKey, KEY_ALL_ACCESS, &key);
    fake.registry.setValue(key, "cut", REG_SZ, QByteArray("abc\0def\0", 8));
    fake.registry.setValue(key, "bin", REG_BINARY, QByteArray("xy"));
    fake.registry.closeKey(key);
    RegValue v = QStringLiteral("before");
    EXPECT_EQ(reg.readValue(HKEY_LOCAL_MACHINE, kKey, "cut", v), 0);
    EXPECT_EQ(std::get<QString>(v), QStringLiteral("abc"));
    v = QStringLiteral("before");
    EXPECT_EQ(reg.readValue(HKEY_LOCAL_MACHINE, kKey, "bin", v), 0);
    EXPECT_EQ(std::get<QString>(v), QStringLiteral("before"));
    EXPECT_EQ(cutAtNul(QString("a") + QChar(0) + "b"), QStringLiteral("a"));
    EXPECT_EQ(fake.registry.openHandles(), 0);
}

TEST_F(Fixture, FailuresGiveTheSystemResultCodesAndCreateNothing) {
    // Keys are opened, never created.
    EXPECT_EQ(reg.writeValue(HKEY_LOCAL_MACHINE, kKey, "t", QStringLiteral("x")),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reg.deleteValue(HKEY_LOCAL_MACHINE, kKey, "t"), ERROR_FILE_NOT_FOUND);
    RegValue v = QStringLiteral("kept");
    EXPECT_EQ(reg.readValue(HKEY_LOCAL_MACHINE, kKey, "t", v), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(std::get<QString>(v), QStringLiteral("kept"));
    EXPECT_TRUE(fake.registry.dump("HKEY_LOCAL_MACHINE").isEmpty());

    fake.registry.createKey(kPath);
    // A missing value is a failure of its own, not hidden behind the successful close.
    EXPECT_EQ(reg.readValue(HKEY_LOCAL_MACHINE, kKey, "none", v), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reg.deleteValue(HKEY_LOCAL_MACHINE, kKey, "none"), ERROR_FILE_NOT_FOUND);

    fake.registry.deniedKeys.append(kPath);
    EXPECT_EQ(reg.writeValue(HKEY_LOCAL_MACHINE, kKey, "t", QStringLiteral("x")),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(reg.readValue(HKEY_LOCAL_MACHINE, kKey, "t", v), ERROR_ACCESS_DENIED);
    EXPECT_EQ(fake.registry.openHandles(), 0);
}

TEST(RegistryValues, ProgramPathIsTheShortFolderAndTheProgramFile) {
    fakes::FakePlatform fake;
    RegistryValues plain(fake.platform());
    plain.buildProgramPath();
    EXPECT_EQ(plain.programPath, QStringLiteral("/prog/Tavrel"));
    EXPECT_TRUE(plain.isNtPlatform());

    OtherSystem system;
    Platform p = fake.platform();
    Platform other{p.browser,   p.files,    p.settings, p.dialogs, p.clock,   p.sound,
                   p.processes, p.instance, p.registry, system,    p.notifier};
    RegistryValues reg(other);
    // No short form: the path itself.
    reg.buildProgramPath();
    EXPECT_EQ(reg.programPath, QStringLiteral("/prog/Tavrel"));
    // A short form ending with the separator does not get a second one.
    system.shortForms.insert("/prog", "/PROG~1/");
    reg.buildProgramPath();
    EXPECT_EQ(reg.programPath, QStringLiteral("/PROG~1/Tavrel"));
    EXPECT_FALSE(reg.isNtPlatform());
}

TEST(StartWithSession, EachFamilyUsesItsOwnStartKeyOnly) {
    const QString run = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\"
                                       "CurrentVersion\\Run");
    for (const bool nt : {true, false}) {
        fakes::FakePlatform fake;
        OtherSystem system;
        system.nt = nt;
        Platform p = fake.platform();
        Platform bundle{p.browser,   p.files,    p.settings, p.dialogs, p.clock,   p.sound,
                        p.processes, p.instance, p.registry, system,    p.notifier};
        fake.registry.createKey(run);
        fake.registry.createKey(run + "Services");
        fake.registry.setText(run, "Other", "/usr/bin/other");
        Program program(bundle);
        MainForm& f = program.form();

        f.startWithSessionSwitch.userSet(1);
        const QString mine = nt ? run : run + "Services";
        const QString other = nt ? run + "Services" : run;
        EXPECT_TRUE(fake.registry.dump(mine).contains(mine + "\\Tavrel = \"/prog/Tavrel\""));
        EXPECT_FALSE(fake.registry.dump(other).join('\n').contains("Tavrel"));

        // Reading back follows the same key; switching off removes only our value.
        f.startWithSessionSwitch.setValue(0);
        program.activate();
        EXPECT_EQ(f.startWithSessionSwitch.value(), 0);
        fake.registry.setText(mine, "Tavrel", "anything");
        program.activate();
        EXPECT_EQ(f.startWithSessionSwitch.value(), 1);
        f.startWithSessionSwitch.userSet(0);
        EXPECT_EQ(fake.registry.dump("HKEY_LOCAL_MACHINE"),
                  QStringList{run + "\\Other = \"/usr/bin/other\""});
    }
}
