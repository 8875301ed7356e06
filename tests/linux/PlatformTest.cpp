#include "UserHome.h"

#include "fakes/FakePlatform.h"
#include "platform/linux/DesktopBrowser.h"
#include "platform/linux/LinuxPlatform.h"

#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

class NoBrowser : public platform::BrowserShell {
public:
    QList<platform::BrowserWindow*> windows() const override { return {}; }
    bool postClose(platform::WindowHandle) override { return false; }
    bool keyDown(platform::Key) const override { return false; }
    QPoint cursorPosIn(platform::WindowHandle) const override { return {}; }
    platform::BrowserStatus status() const override { return {}; }
};

// The lines a started program wrote, once it has written them (the program runs detached).
QStringList linesWritten(const QString& file) {
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(file + QStringLiteral(".done")) && waited.elapsed() < 10000)
        QThread::msleep(10);
    return QString::fromUtf8(readFile(file)).split(u'\n', Qt::SkipEmptyParts);
}

// A program that writes its arguments, one a line, to OUT.
QString argumentRecorder(const UserHome& home, const QString& out) {
    const QString script = home.path(QStringLiteral("record args"));
    writeFile(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + QFile::encodeName(out) +
                          "'\ntouch '" + QFile::encodeName(out) + ".done'\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return script;
}

} // namespace

TEST(LinuxProcesses, ArgumentsReachTheProgramUntouched) {
    UserHome home;
    platform::linuxp::LinuxProcesses processes;
    const QString out = home.path(QStringLiteral("args.txt"));
    const QString recorder = argumentRecorder(home, out);
    const QStringList arguments = {QStringLiteral("a b"), QStringLiteral("c;rm -rf d"),
                                   QStringLiteral("$(x) `y` \"z\""),
                                   QStringLiteral("http://x/?a=1&b=2")};
    ASSERT_TRUE(processes.start(recorder, arguments));
    EXPECT_EQ(linesWritten(out), arguments);
    EXPECT_FALSE(processes.start(home.path(QStringLiteral("no such program")), {}));
    EXPECT_FALSE(processes.start(QString(), {}));
}

TEST(LinuxProcesses, InternetOptionsOpenTheChosenBrowsersSettingsInItsProfile) {
    UserHome home;
    const QString out = home.path(QStringLiteral("browser.txt"));
    const QString recorder = argumentRecorder(home, out);
    // The recorder stands for every browser installed here.
    platform::linuxp::BrowserDiscovery found;
    found.scan(
        [&](const QString& name) {
            return name == u"chromium" || name == u"firefox-esr" ? recorder : QString();
        },
        QString());
    platform::linuxp::DesktopBrowser browser(platform::linuxp::ChromiumOptions{}, found);
    fakes::Transcript transcript;
    fakes::FakeDialogs dialogs(transcript);
    fakes::FakeNotifier notifier(transcript);
    platform::linuxp::LinuxPlatform desktop(browser, dialogs, notifier);
    platform::Processes& processes = desktop.platform().processes;

    // Not running: the browser is started on the page, in the profile it is watched with.
    browser.choose(QStringLiteral("chromium"), false);
    ASSERT_TRUE(processes.openInternetOptions());
    EXPECT_EQ(linesWritten(out),
              (QStringList{QStringLiteral("--user-data-dir=") +
                               home.path(QStringLiteral("data/Tavrel/browser-profile")),
                           QStringLiteral("chrome://settings/cookies")}));
    QFile::remove(out + QStringLiteral(".done"));
    browser.choose(QStringLiteral("firefox"), false);
    ASSERT_TRUE(processes.openInternetOptions());
    EXPECT_EQ(
        linesWritten(out),
        (QStringList{QStringLiteral("--profile"),
                     home.path(QStringLiteral("data/Tavrel/firefox-profile")),
                     QStringLiteral("--new-tab"), QStringLiteral("about:preferences#privacy")}));

    // The user's usual profile: the Chromium family's default, Firefox's from profiles.ini.
    QDir().mkpath(home.path(QStringLiteral("config/mozilla/firefox/ab.default-esr")));
    writeFile(home.path(QStringLiteral("config/mozilla/firefox/profiles.ini")),
              "[Profile0]\nName=default-esr\nIsRelative=1\nPath=ab.default-esr\n\n"
              "[InstallX]\nDefault=ab.default-esr\nLocked=1\n");
    browser.choose(QStringLiteral("firefox"), true);
    EXPECT_EQ(
        browser.settingsCommand().arguments,
        (QStringList{QStringLiteral("--profile"),
                     home.path(QStringLiteral("config/mozilla/firefox/ab.default-esr")),
                     QStringLiteral("--new-tab"), QStringLiteral("about:preferences#privacy")}));
    browser.choose(QStringLiteral("chromium"), true);
    EXPECT_EQ(browser.settingsCommand().arguments,
              QStringList{QStringLiteral("chrome://settings/cookies")});

    // No such browser: nothing opens, and nothing says it did.
    platform::linuxp::DesktopBrowser none(platform::linuxp::ChromiumOptions{},
                                          platform::linuxp::BrowserDiscovery());
    EXPECT_TRUE(none.settingsCommand().program.isEmpty());
    EXPECT_FALSE(none.openSettings());
    platform::linuxp::LinuxProcesses bare;
    EXPECT_FALSE(bare.openInternetOptions());
}

TEST(DesktopBrowser, SettingsFollowTheProfileFixedFromOutside) {
    UserHome home;
    const QString out = home.path(QStringLiteral("browser.txt"));
    const QString recorder = argumentRecorder(home, out);
    platform::linuxp::ChromiumOptions fixed;
    fixed.browser = recorder;
    fixed.arguments = {QStringLiteral("--headless"), QStringLiteral("--user-data-dir=/p q")};
    platform::linuxp::DesktopBrowser chromium(fixed, platform::linuxp::BrowserDiscovery());
    EXPECT_EQ(chromium.settingsCommand().arguments,
              (QStringList{QStringLiteral("--user-data-dir=/p q"),
                           QStringLiteral("chrome://settings/cookies")}));
    fixed.arguments = {QStringLiteral("-P"), QStringLiteral("work")};
    fixed.attachPort = 0;
    qputenv("TAVREL_BROWSER_KIND", "firefox");
    platform::linuxp::DesktopBrowser firefox(fixed, platform::linuxp::BrowserDiscovery());
    qunsetenv("TAVREL_BROWSER_KIND");
    EXPECT_EQ(
        firefox.settingsCommand().arguments,
        (QStringList{QStringLiteral("-P"), QStringLiteral("work"), QStringLiteral("--new-tab"),
                     QStringLiteral("about:preferences#privacy")}));
    // An attached browser keeps its own profile.
    fixed.arguments.clear();
    fixed.attachPort = 9222;
    platform::linuxp::DesktopBrowser attached(fixed, platform::linuxp::BrowserDiscovery());
    EXPECT_EQ(attached.settingsCommand().arguments,
              QStringList{QStringLiteral("chrome://settings/cookies")});
}

TEST(LinuxPlatform, ImmediateEndGivesTheInstanceBackAndKeepsWhatWasSaved) {
    UserHome home;
    const QString lock = home.path(QStringLiteral("run/Tavrel.lock"));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        NoBrowser browser;
        fakes::Transcript transcript;
        fakes::FakeDialogs dialogs(transcript);
        fakes::FakeNotifier notifier(transcript);
        auto* desktop = new platform::linuxp::LinuxPlatform(browser, dialogs, notifier);
        platform::Platform& p = desktop->platform();
        if (!p.instance.claim() || !QFile::exists(lock))
            ::_exit(3);
        p.settings.setValue(QStringLiteral("Tavrel"), QStringLiteral("Config"),
                            QStringLiteral("Masq"), QStringLiteral("1"));
        p.processes.endNow();
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(QFile::exists(lock));
    platform::linuxp::LinuxSettings settings;
    EXPECT_EQ(
        settings.value(QStringLiteral("Tavrel"), QStringLiteral("Config"), QStringLiteral("Masq")),
        QStringLiteral("1"));
}
