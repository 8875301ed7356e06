// Reaching Firefox: the options from the environment, Tavrel's own profile, and attaching to
// a Firefox that the user started with a debugging port.

#include "FirefoxSupport.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using e2e::Firefox;
using e2e::spin;
using e2e::waitUntil;
using platform::WindowHandle;
using platform::linuxp::FirefoxBrowser;
using platform::linuxp::FirefoxOptions;
using platform::linuxp::PopupGuard;

TEST(FirefoxLaunch, AttachesToADebuggingPortHoldsTheSessionAndAttachesAgain) {
    if (const QString why = Firefox::unavailableReason(); !why.isEmpty())
        GTEST_SKIP() << "no Firefox to test against: " << why.toStdString();
    QTemporaryDir profile;
    // The user's Firefox, started with a debugging port that it picks and prints.
    QProcess user;
    auto launch = [&](QProcess& p) {
        p.setProgram(Firefox::program());
        p.setArguments({"--headless", "--no-remote", "--profile", profile.path(),
                        "--remote-debugging-port", "0"});
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start();
        quint16 port = 0;
        static const QRegularExpression listening("listening on ws://127.0.0.1:(\\d+)");
        QByteArray out;
        waitUntil(
            [&] {
                out += p.readAllStandardOutput();
                const auto m = listening.match(QString::fromUtf8(out));
                port = m.hasMatch() ? quint16(m.captured(1).toUInt()) : 0;
                return port != 0;
            },
            30000);
        return port;
    };
    const quint16 port = launch(user);
    ASSERT_NE(port, 0);

    FirefoxOptions options;
    options.attachPort = port;
    options.useX11 = false;
    options.retryMs = 300;
    FirefoxBrowser shell(options);
    ASSERT_TRUE(shell.start());
    ASSERT_TRUE(waitUntil([&] { return shell.connected() && !shell.windows().isEmpty(); }, 30000))
        << shell.lastError().toStdString();
    const WindowHandle first = shell.windows().first()->hwnd();

    // While Tavrel holds the session, nobody else gets one.
    FirefoxBrowser other(options);
    ASSERT_TRUE(other.start());
    ASSERT_TRUE(waitUntil([&] { return !other.lastError().isEmpty(); }, 10000));
    EXPECT_FALSE(other.connected());
    EXPECT_EQ(other.lastError(), QStringLiteral("another program is driving this Firefox"));
    other.stop();

    user.kill();
    user.waitForFinished(5000);
    ASSERT_TRUE(waitUntil([&] { return !shell.connected(); }, 5000));
    EXPECT_TRUE(shell.windows().isEmpty());

    // The user starts Firefox again on the same port.
    QProcess again;
    again.setProgram(Firefox::program());
    again.setArguments({"--headless", "--no-remote", "--profile", profile.path(),
                        "--remote-debugging-port", QString::number(port)});
    again.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    again.setStandardOutputFile(QProcess::nullDevice());
    again.start();
    ASSERT_TRUE(waitUntil([&] { return shell.connected() && !shell.windows().isEmpty(); }, 30000))
        << shell.lastError().toStdString();
    EXPECT_NE(shell.windows().first()->hwnd(), first);
    // Detaching leaves the user's browser running, and free for the next client: Firefox
    // keeps the session of a connection that merely closed.
    shell.stop();
    spin(300);
    EXPECT_EQ(again.state(), QProcess::Running);
    FirefoxBrowser next(options);
    ASSERT_TRUE(next.start());
    EXPECT_TRUE(waitUntil([&] { return next.connected(); }, 10000))
        << next.lastError().toStdString();
    next.stop();
    again.kill();
    again.waitForFinished(5000);
}

TEST(FirefoxLaunch, OptionsComeFromTheEnvironmentAndAttachOnlyToLoopback) {
    qputenv("TAVREL_BROWSER_KIND", "firefox");
    EXPECT_TRUE(FirefoxOptions::requested(QString()));
    qputenv("TAVREL_BROWSER_KIND", "chromium");
    EXPECT_FALSE(FirefoxOptions::requested("/usr/bin/firefox-esr")) << "the kind, when given, wins";
    qunsetenv("TAVREL_BROWSER_KIND");
    EXPECT_TRUE(FirefoxOptions::requested("/usr/bin/firefox-esr"));
    EXPECT_FALSE(FirefoxOptions::requested("chromium"));

    EXPECT_EQ(FirefoxOptions::fromEnvironment().popupGuard, PopupGuard::Strict);
    qputenv("TAVREL_POPUP_GUARD", "light");
    EXPECT_EQ(FirefoxOptions::fromEnvironment().popupGuard, PopupGuard::Light);
    qputenv("TAVREL_POPUP_GUARD", "loose");
    EXPECT_FALSE(FirefoxOptions::fromEnvironment().error.isEmpty());
    qunsetenv("TAVREL_POPUP_GUARD");

    qputenv("TAVREL_ATTACH", "192.0.2.1:9222");
    EXPECT_FALSE(FirefoxOptions::fromEnvironment().error.isEmpty());
    qputenv("TAVREL_ATTACH", "[::1]:9222");
    auto o = FirefoxOptions::fromEnvironment();
    EXPECT_TRUE(o.error.isEmpty());
    EXPECT_EQ(o.attachHost, QStringLiteral("::1"));
    EXPECT_EQ(o.attachPort, 9222);
    qputenv("TAVREL_ATTACH", "localhost:x");
    EXPECT_FALSE(FirefoxOptions::fromEnvironment().error.isEmpty());
    qunsetenv("TAVREL_ATTACH");
    FirefoxOptions bad;
    bad.error = QStringLiteral("bad");
    FirefoxBrowser shell(bad);
    EXPECT_FALSE(shell.start());
    EXPECT_TRUE(shell.windows().isEmpty());
    EXPECT_FALSE(shell.postClose(1));
    // A browser that does not exist fails to start with a reason.
    FirefoxOptions missing;
    missing.browser = QStringLiteral("/nonexistent/firefox");
    FirefoxBrowser none(missing);
    EXPECT_FALSE(none.start());
    EXPECT_FALSE(none.lastError().isEmpty());
}

TEST(FirefoxLaunch, OwnProfileTurnsThePopupBlockerOffButAForeignUserJsIsLeftAlone) {
    // A "browser" that ends at once: the profile is prepared all the same.
    QTemporaryDir own, foreign;
    QFile theirs(foreign.filePath("user.js"));
    ASSERT_TRUE(theirs.open(QIODevice::WriteOnly));
    theirs.write("user_pref(\"dom.disable_open_during_load\", true);\n");
    theirs.close();
    for (QTemporaryDir* profile : {&own, &foreign}) {
        FirefoxOptions o;
        o.browser = QStringLiteral("/bin/true");
        o.profileDir = profile->path();
        FirefoxBrowser shell(o);
        ASSERT_TRUE(shell.start());
        ASSERT_TRUE(waitUntil([&] { return !shell.lastError().isEmpty(); }, 5000));
        EXPECT_EQ(shell.lastError(),
                  QStringLiteral("Firefox ended before opening its debugging port"));
    }
    QFile mine(own.filePath("user.js"));
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    EXPECT_TRUE(mine.readAll().contains("user_pref(\"dom.disable_open_during_load\", false);"));
    ASSERT_TRUE(theirs.open(QIODevice::ReadOnly));
    EXPECT_EQ(theirs.readAll(), QByteArray("user_pref(\"dom.disable_open_during_load\", true);\n"));
}
