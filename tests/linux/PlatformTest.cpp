#include "UserHome.h"

#include "fakes/FakePlatform.h"
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

TEST(LinuxProcesses, CookieSettingsOpenInTheWatchedBrowsersProfile) {
    UserHome home;
    platform::linuxp::LinuxProcesses processes;
    const QString out = home.path(QStringLiteral("browser.txt"));
    qputenv("TAVREL_BROWSER", QFile::encodeName(argumentRecorder(home, out)));
    ASSERT_TRUE(processes.openInternetOptions());
    EXPECT_EQ(linesWritten(out),
              (QStringList{QStringLiteral("--user-data-dir=") +
                               home.path(QStringLiteral("data/Tavrel/browser-profile")),
                           QStringLiteral("chrome://settings/cookies")}));

    qputenv("TAVREL_BROWSER_ARGS", "--headless \"--user-data-dir=/p q\"");
    EXPECT_EQ(platform::linuxp::LinuxProcesses::cookieSettingsArguments(),
              (QStringList{QStringLiteral("--user-data-dir=/p q"),
                           QStringLiteral("chrome://settings/cookies")}));
    qunsetenv("TAVREL_BROWSER_ARGS");
    qputenv("TAVREL_ATTACH", "127.0.0.1:9222");
    EXPECT_EQ(platform::linuxp::LinuxProcesses::cookieSettingsArguments(),
              QStringList{QStringLiteral("chrome://settings/cookies")});

    qputenv("TAVREL_BROWSER", QFile::encodeName(home.path(QStringLiteral("no-browser"))));
    EXPECT_FALSE(processes.openInternetOptions());
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
