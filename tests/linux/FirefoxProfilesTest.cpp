// What Firefox keeps about its profiles, as Tavrel reads it: the usual profile from
// profiles.ini, a profile's lock, and the preferences that decide how it behaves when watched.

#include "UserHome.h"

#include "platform/linux/FirefoxProfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::linuxp::FirefoxProfiles;

namespace {

void writeIni(const QString& folder, const QByteArray& text) {
    QDir().mkpath(folder);
    ASSERT_TRUE(writeFile(folder + QStringLiteral("/profiles.ini"), text));
}

void lastRunFrom(const QString& profile, const QByteArray& installDir) {
    QDir().mkpath(profile);
    ASSERT_TRUE(writeFile(
        profile + QStringLiteral("/compatibility.ini"),
        "[Compatibility]\r\nLastVersion=153.8.0\r\nLastPlatformDir=" + installDir + "\r\n"));
}

// A process of its own holding a write lock on a file, as a running Firefox holds
// .parentlock; it ends with the object.
class LockingProcess {
public:
    explicit LockingProcess(const QString& file) {
        int ready[2];
        const QByteArray name = QFile::encodeName(file); // nothing is allocated after the fork
        if (::pipe(ready) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            const int fd = ::open(name.constData(), O_RDWR | O_CREAT, 0600);
            struct flock l = {};
            l.l_type = F_WRLCK;
            l.l_whence = SEEK_SET;
            const char ok = fd >= 0 && ::fcntl(fd, F_SETLK, &l) == 0 ? 'y' : 'n';
            (void)!::write(ready[1], &ok, 1);
            ::pause();
            ::_exit(0);
        }
        char answer = 'n';
        (void)!::read(ready[0], &answer, 1);
        ::close(ready[0]);
        ::close(ready[1]);
        m_locked = answer == 'y';
    }
    ~LockingProcess() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    pid_t pid() const { return m_pid; }
    bool locked() const { return m_locked; }

private:
    pid_t m_pid = -1;
    bool m_locked = false;
};

} // namespace

TEST(FirefoxProfiles, TheProfilesFolderIsTheOldOneWhileItExistsElseTheConfigurationFolders) {
    UserHome home;
    EXPECT_EQ(FirefoxProfiles::profilesFolder(), home.path("config/mozilla/firefox"));
    qputenv("XDG_CONFIG_HOME", "relative"); // not absolute: ignored, as Firefox does
    EXPECT_EQ(FirefoxProfiles::profilesFolder(), home.path(".config/mozilla/firefox"));
    QDir().mkpath(home.path(".mozilla/extensions")); // no firefox folder in it: not Firefox's
    EXPECT_EQ(FirefoxProfiles::profilesFolder(), home.path(".config/mozilla/firefox"));
    QDir().mkpath(home.path(".mozilla/firefox"));
    EXPECT_EQ(FirefoxProfiles::profilesFolder(), home.path(".mozilla/firefox"));
}

TEST(FirefoxProfiles, TheUsualProfileIsTheInstallationsDefaultAsFirefoxWritesIt) {
    UserHome home;
    const QString folder = home.path("ff");
    EXPECT_EQ(FirefoxProfiles::usualProfile(folder), QString()) << "no profiles.ini yet";

    // As Firefox 153 writes it on a first start: a legacy default, and the profile of the
    // installation, which is the one it opens.
    writeIni(folder, "[Profile1]\nName=default\nIsRelative=1\nPath=gedqnhtx.default\nDefault=1\n\n"
                     "[Profile0]\nName=default-esr\nIsRelative=1\nPath=tt6hoa5p.default-esr\n\n"
                     "[General]\nStartWithLastProfile=1\nVersion=2\n\n"
                     "[Install3B6073811A6ABF12]\nDefault=tt6hoa5p.default-esr\nLocked=1\n");
    EXPECT_EQ(FirefoxProfiles::usualProfile(folder), folder + "/tt6hoa5p.default-esr");

    // Two installations: the one whose profile last ran from this installation's folder.
    writeIni(folder, "[Profile0]\nName=a\nIsRelative=1\nPath=a.default-esr\n\n"
                     "[Profile1]\nName=b, with a comma\nIsRelative=0\nPath=/elsewhere/b, c\n\n"
                     "[InstallAAAA]\nDefault=a.default-esr\n\n"
                     "[InstallBBBB]\nDefault=/elsewhere/b, c\n");
    lastRunFrom(folder + "/a.default-esr", "/usr/lib/firefox-esr");
    EXPECT_EQ(FirefoxProfiles::usualProfile(folder, "/opt/firefox"), folder + "/a.default-esr")
        << "no match: the first installation's";
    lastRunFrom(home.path("b"), "/opt/firefox");
    writeIni(folder, "[Profile0]\nName=a\nIsRelative=1\nPath=a.default-esr\n\n"
                     "[Profile1]\nName=b\nIsRelative=0\nPath=" +
                         QFile::encodeName(home.path("b")) +
                         "\n\n[InstallAAAA]\nDefault=a.default-esr\n\n"
                         "[InstallBBBB]\nDefault=" +
                         QFile::encodeName(home.path("b")) + "\n");
    EXPECT_EQ(FirefoxProfiles::usualProfile(folder, "/opt/firefox/"), home.path("b"));
    EXPECT_EQ(FirefoxProfiles::usualProfile(folder, "/usr/lib/firefox-esr"),
              folder + "/a.default-esr");

    // Before installations had profiles of their own: the one marked Default=1, else the
    // only one; several and none marked: none can be told.
    writeIni(folder, "; written by hand\r\n[Profile0]\r\nPath=x.one\r\n\r\n[Profile1]\r\n"
                     "Path=y.two\r\nDefault=1\r\n");
    EXPECT_EQ(FirefoxProfiles::usualProfile(folder), folder + "/y.two");
    writeIni(folder, "[Profile0]\nPath=x.one\nIsRelative=1\n");
    EXPECT_EQ(FirefoxProfiles::usualProfile(folder), folder + "/x.one");
    writeIni(folder, "[Profile0]\nPath=x.one\n[Profile1]\nPath=y.two\n");
    EXPECT_EQ(FirefoxProfiles::usualProfile(folder), QString());
    writeIni(folder, "\x01\x02 not an ini file at all\n=\n[");
    EXPECT_EQ(FirefoxProfiles::usualProfile(folder), QString());
}

TEST(FirefoxProfiles, TheInstallationFolderIsWhereTheProgramReallyIs) {
    UserHome home;
    QDir().mkpath(home.path("lib/firefox-esr"));
    ASSERT_TRUE(writeFile(home.path("lib/firefox-esr/firefox-esr"), "#!/bin/sh\n"));
    QDir().mkpath(home.path("bin"));
    ASSERT_TRUE(
        QFile::link(home.path("lib/firefox-esr/firefox-esr"), home.path("bin/firefox-esr")));
    EXPECT_EQ(FirefoxProfiles::installDirOf(home.path("bin/firefox-esr")),
              QDir(home.path("lib/firefox-esr")).canonicalPath());
    EXPECT_EQ(FirefoxProfiles::installDirOf(home.path("bin/none")), QString());
}

TEST(FirefoxProfiles, AProfileIsHeldByALiveLockNotByOneLeftBehind) {
    UserHome home;
    const QString profile = home.path("p");
    QDir().mkpath(profile);
    EXPECT_FALSE(FirefoxProfiles::lockHolder(profile));
    EXPECT_FALSE(FirefoxProfiles::lockHolder(QString()));

    // .parentlock locked by another process: held by it. The file alone is not a lock.
    ASSERT_TRUE(writeFile(profile + "/.parentlock", ""));
    EXPECT_FALSE(FirefoxProfiles::lockHolder(profile));
    {
        LockingProcess firefox(profile + "/.parentlock");
        ASSERT_TRUE(firefox.locked());
        EXPECT_EQ(FirefoxProfiles::lockHolder(profile), qint64(firefox.pid()));
    }
    EXPECT_FALSE(FirefoxProfiles::lockHolder(profile)) << "the lock ends with its process";
    EXPECT_TRUE(QFile::exists(profile + "/.parentlock")) << "and is never removed here";

    // The link to "address:+PID": a living process holds the profile, a dead one does not
    // (Firefox killed leaves it behind), and a link that names none holds nothing.
    const QString link = profile + "/lock";
    ASSERT_TRUE(QFile::link("127.0.0.1:+" + QString::number(::getpid()), link));
    EXPECT_EQ(FirefoxProfiles::lockHolder(profile), qint64(::getpid()));
    QProcess ended;
    ended.start("true");
    ASSERT_TRUE(ended.waitForStarted(5000));
    const qint64 gone = ended.processId();
    ASSERT_TRUE(ended.waitForFinished(5000));
    QFile::remove(link);
    ASSERT_TRUE(QFile::link("127.0.0.1:+" + QString::number(gone), link));
    EXPECT_FALSE(FirefoxProfiles::lockHolder(profile));
    QFile::remove(link);
    ASSERT_TRUE(QFile::link("garbage", link));
    EXPECT_FALSE(FirefoxProfiles::lockHolder(profile));
}

TEST(FirefoxProfiles, PreferencesAreReadFromPrefsThenUserJs) {
    UserHome home;
    const QString profile = home.path("p");
    QDir().mkpath(profile);
    FirefoxProfiles::Preferences p = FirefoxProfiles::preferences(profile);
    EXPECT_FALSE(p.automationOff);
    EXPECT_FALSE(p.popupBlockerOff.has_value()) << "no choice made: Firefox's default (on)";

    ASSERT_TRUE(writeFile(profile + "/prefs.js",
                          "// Mozilla User Preferences\n"
                          "user_pref(\"dom.disable_open_during_load\", false);\n"
                          "user_pref(\"remote.prefs.recommended.applied\", true);\n"
                          "user_pref(\"remote.prefs.recommended\", false);\n"));
    p = FirefoxProfiles::preferences(profile);
    EXPECT_TRUE(p.automationOff);
    EXPECT_EQ(p.popupBlockerOff, true);

    // user.js is applied after prefs.js, and wins; lines that are not preferences count for
    // nothing.
    ASSERT_TRUE(writeFile(profile + "/user.js",
                          "  user_pref( \"dom.disable_open_during_load\" , true ) ;\n"
                          "// user_pref(\"remote.prefs.recommended\", true);\n"
                          "user_pref(\"remote.prefs.recommended\", \"no\");\n"));
    p = FirefoxProfiles::preferences(profile);
    EXPECT_TRUE(p.automationOff);
    EXPECT_EQ(p.popupBlockerOff, false);
}
