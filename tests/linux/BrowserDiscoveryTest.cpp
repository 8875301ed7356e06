// Finding the browsers installed, choosing the default, the usual profile's folder and its
// lock, and the desktop browser's status before any browser runs.

#include "platform/linux/BrowserDiscovery.h"
#include "platform/linux/ChromiumLauncher.h"
#include "platform/linux/DesktopBrowser.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

using platform::BrowserStatus;
using platform::linuxp::BrowserDiscovery;
using platform::linuxp::ChromiumLauncher;
using platform::linuxp::ChromiumOptions;
using platform::linuxp::DesktopBrowser;

namespace {

// A PATH holding these programs, under /bin.
BrowserDiscovery::Which installed(QStringList programs) {
    return [programs](const QString& name) {
        return programs.contains(name) ? QStringLiteral("/bin/") + name : QString();
    };
}

QStringList ids(const BrowserDiscovery& d) {
    QStringList list;
    for (const auto& f : d.found())
        list << f.kind->id + u'=' + f.program;
    return list;
}

} // namespace

TEST(BrowserDiscovery, FindsEachKindOnceInOrderAndTakesTheDesktopDefaultWhenFound) {
    BrowserDiscovery d;
    d.scan(installed(
               {"vivaldi", "google-chrome", "google-chrome-stable", "chromium-browser", "firefox"}),
           QStringLiteral("vivaldi-stable.desktop"));
    EXPECT_EQ(ids(d), (QStringList{"chromium=/bin/chromium-browser",
                                   "google-chrome=/bin/google-chrome-stable",
                                   "vivaldi=/bin/vivaldi", "firefox=/bin/firefox"}));
    EXPECT_EQ(d.defaultId(), QStringLiteral("vivaldi"));
    EXPECT_EQ(d.products().at(1).name, QStringLiteral("Google Chrome"));
    EXPECT_EQ(d.find("vivaldi")->program, QStringLiteral("/bin/vivaldi"));
    EXPECT_EQ(d.find("brave-browser"), nullptr);

    // A default the desktop names but that is not installed, or none: the first found.
    d.scan(installed({"brave-browser", "microsoft-edge"}), QStringLiteral("chromium.desktop"));
    EXPECT_EQ(d.defaultId(), QStringLiteral("brave-browser"));
    d.scan(installed({"microsoft-edge"}), QString());
    EXPECT_EQ(d.defaultId(), QStringLiteral("microsoft-edge"));
    d.scan(installed({}), QStringLiteral("chromium.desktop"));
    EXPECT_TRUE(d.found().isEmpty());
    EXPECT_EQ(d.defaultId(), QString());
}

TEST(BrowserDiscovery, NamesTheKindOfAProgramAndItsUsualProfile) {
    EXPECT_EQ(BrowserDiscovery::kindOfProgram("/opt/x/brave-browser")->name, "Brave");
    EXPECT_EQ(BrowserDiscovery::kindOfProgram("chromium")->id, "chromium");
    EXPECT_EQ(BrowserDiscovery::kindOfProgram("/usr/bin/firefox-esr")->id, "firefox");
    EXPECT_EQ(BrowserDiscovery::kindOfProgram("firefox")->name, "Firefox");
    EXPECT_EQ(BrowserDiscovery::kindOfProgram("/usr/bin/chromium-wrapper"), nullptr);

    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    const auto& brave = *BrowserDiscovery::kind("brave-browser");
    qputenv("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(BrowserDiscovery::usualProfileDir(brave), "/cfg/BraveSoftware/Brave-Browser");
    qputenv("XDG_CONFIG_HOME", "relative/cfg"); // not absolute: ignored, as the browser does
    EXPECT_EQ(BrowserDiscovery::usualProfileDir(brave),
              QDir::homePath() + "/.config/BraveSoftware/Brave-Browser");
    qputenv("XDG_CONFIG_HOME", saved);
}

TEST(ChromiumProfileLock, IsHeldOnlyByARunningBrowserOfThisMachine) {
    QTemporaryDir dir;
    const QString lock = dir.path() + "/SingletonLock";
    const QString host = QSysInfo::machineHostName();
    EXPECT_FALSE(ChromiumLauncher::profileHolder(dir.path()));
    EXPECT_FALSE(ChromiumLauncher::profileHolder(QString()));

    ASSERT_TRUE(QFile::link(host + "-" + QString::number(::getpid()), lock));
    EXPECT_EQ(ChromiumLauncher::profileHolder(dir.path()), qint64(::getpid()));

    // A process that has ended leaves a stale lock behind.
    QProcess ended;
    ended.start("true");
    ASSERT_TRUE(ended.waitForStarted(5000));
    const qint64 gone = ended.processId();
    ASSERT_TRUE(ended.waitForFinished(5000));
    QFile::remove(lock);
    ASSERT_TRUE(QFile::link(host + "-" + QString::number(gone), lock));
    EXPECT_FALSE(ChromiumLauncher::profileHolder(dir.path()));

    QFile::remove(lock);
    ASSERT_TRUE(QFile::link("elsewhere-1", lock));
    EXPECT_EQ(ChromiumLauncher::profileHolder(dir.path()), -1);
    QFile::remove(lock);
    ASSERT_TRUE(QFile::link("no-pid-here", lock));
    EXPECT_FALSE(ChromiumLauncher::profileHolder(dir.path()));
}

TEST(DesktopBrowser, NamesTheChosenBrowserAndSaysWhenItIsNotFound) {
    BrowserDiscovery d;
    d.scan(installed({"chromium", "vivaldi"}), QString());
    DesktopBrowser shell(ChromiumOptions{}, d);
    EXPECT_EQ(shell.defaultBrowser(), "chromium");
    EXPECT_EQ(shell.browsersFound().size(), 2);
    EXPECT_FALSE(shell.overrides().browser);
    EXPECT_EQ(shell.supportedBrowsers().first(), "Chromium");

    shell.choose("vivaldi", true);
    EXPECT_EQ(shell.status().state, BrowserStatus::State::Starting);
    EXPECT_EQ(shell.status().browser, "Vivaldi");
    EXPECT_TRUE(shell.status().ownProfile);
    shell.choose("opera", false); // not found: the default
    EXPECT_EQ(shell.status().browser, "Chromium");

    // Nothing installed: the chosen kind's program is named, nothing is launched.
    DesktopBrowser none(ChromiumOptions{}, BrowserDiscovery());
    none.choose("brave-browser", false);
    none.start();
    EXPECT_EQ(none.status().state, BrowserStatus::State::Stopped);
    EXPECT_EQ(none.status().reason, BrowserStatus::Reason::NotFound);
    EXPECT_EQ(none.status().browser, "Brave");
    EXPECT_EQ(none.status().detail, "brave-browser");
    EXPECT_EQ(none.adapter(), nullptr);
    EXPECT_TRUE(none.windows().isEmpty());
    EXPECT_FALSE(none.postClose(1));
}

TEST(DesktopBrowser, TheCommandLineAndTheEnvironmentWin) {
    ChromiumOptions fixed;
    fixed.browser = "/opt/b/brave-browser";
    fixed.arguments = {"--user-data-dir=/tmp/p"};
    DesktopBrowser shell(fixed, BrowserDiscovery());
    EXPECT_TRUE(shell.overrides().browser);
    EXPECT_TRUE(shell.overrides().profile);
    shell.choose("chromium", true);
    EXPECT_EQ(shell.status().browser, "brave-browser");
    EXPECT_FALSE(shell.status().ownProfile);

    ChromiumOptions attach;
    attach.attachPort = 9222;
    DesktopBrowser attached(attach, BrowserDiscovery());
    EXPECT_TRUE(attached.overrides().browser);
    EXPECT_TRUE(attached.overrides().profile);
    EXPECT_EQ(attached.status().browser, "127.0.0.1:9222");

    ChromiumOptions bad;
    bad.error = "TAVREL_ATTACH : x";
    DesktopBrowser broken(bad, BrowserDiscovery());
    broken.start();
    EXPECT_EQ(broken.status().reason, BrowserStatus::Reason::BadSetting);
    EXPECT_EQ(broken.status().detail, "TAVREL_ATTACH : x");
}
