// Firefox in the browser choice: offered and chosen like the others, watched by its own
// adapter, and on the user's usual profile only when that profile keeps its settings and no
// running Firefox holds it. A script that records its arguments stands for Firefox.

#include "UserHome.h"

#include "platform/linux/ChromiumBrowser.h"
#include "platform/linux/DesktopBrowser.h"
#include "platform/linux/FirefoxBrowser.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <unistd.h>

using platform::BrowserStatus;
using platform::linuxp::BrowserDiscovery;
using platform::linuxp::ChromiumBrowser;
using platform::linuxp::ChromiumOptions;
using platform::linuxp::DesktopBrowser;
using platform::linuxp::FirefoxBrowser;
using platform::linuxp::PopupGuard;
using R = BrowserStatus::Reason;

// Texts in failures as text.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

void ensureApp() {
    static int argc = 1;
    static char name[] = "tavrel-linux-tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

bool waitFor(const std::function<bool()>& done, int ms = 10000) {
    ensureApp();
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// A "Firefox" that writes its arguments, one a line, and ends at once.
struct FakeFirefox {
    explicit FakeFirefox(const UserHome& home, const QString& name = QStringLiteral("firefox-esr"))
        : program(home.path(name)), out(home.path(name + QStringLiteral(".args"))) {
        writeFile(program, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + QFile::encodeName(out) +
                               ".part' && mv '" + QFile::encodeName(out) + ".part' '" +
                               QFile::encodeName(out) + "'\n");
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QStringList arguments() const {
        return QString::fromUtf8(readFile(out)).split(u'\n', Qt::SkipEmptyParts);
    }
    bool ran() const { return QFile::exists(out); }
    QString program;
    QString out;
};

BrowserDiscovery found(const QString& firefox, const QString& desktopEntry = {}) {
    BrowserDiscovery d;
    d.scan(
        [&](const QString& name) {
            if (name == u"firefox-esr")
                return firefox;
            return name == u"chromium" ? QStringLiteral("/bin/false") : QString();
        },
        desktopEntry);
    return d;
}

BrowserStatus stoppedStatus(const DesktopBrowser& shell) {
    waitFor([&] { return shell.status().state == BrowserStatus::State::Stopped; });
    return shell.status();
}

} // namespace

TEST(DesktopFirefox, FirefoxIsOfferedChosenByTheDesktopAndWatchedByItsOwnAdapter) {
    ensureApp();
    UserHome home;
    FakeFirefox firefox(home);
    for (const char* entry : {"firefox-esr.desktop", "firefox.desktop"})
        EXPECT_EQ(found(firefox.program, entry).defaultId(), QStringLiteral("firefox")) << entry;
    const BrowserDiscovery d = found(firefox.program);
    EXPECT_EQ(d.defaultId(), QStringLiteral("chromium")) << "the first found";
    EXPECT_EQ(d.products().last(), (platform::BrowserProduct{"firefox", "Firefox"}));

    ChromiumOptions base;
    base.answerMs = 4000;
    DesktopBrowser shell(base, found(firefox.program, "firefox-esr.desktop"));
    EXPECT_TRUE(shell.supportedBrowsers().contains(QStringLiteral("Firefox")));
    shell.start();
    auto* adapter = dynamic_cast<FirefoxBrowser*>(shell.adapter());
    ASSERT_NE(adapter, nullptr);
    EXPECT_EQ(adapter->options().browser, firefox.program);
    EXPECT_EQ(adapter->options().productName, QStringLiteral("Firefox"));
    EXPECT_EQ(adapter->options().startTimeoutMs, 6000);
    EXPECT_EQ(adapter->options().popupGuard, PopupGuard::Strict);

    // The fake ends at once, without a debugging port: a browser that does not start.
    const BrowserStatus s = stoppedStatus(shell);
    EXPECT_EQ(s.reason, R::CannotStart);
    EXPECT_EQ(s.browser, QStringLiteral("Firefox"));
    const QString profile = home.path(QStringLiteral("data/Tavrel/firefox-profile"));
    EXPECT_EQ(firefox.arguments(),
              (QStringList{"--remote-debugging-port", "0", "--profile", profile}))
        << "no --no-remote: a firefox started later on this profile hands over to it";
    const QByteArray prefs = readFile(profile + QStringLiteral("/user.js"));
    EXPECT_TRUE(prefs.contains("user_pref(\"remote.prefs.recommended\", false);"));
    EXPECT_TRUE(prefs.contains("user_pref(\"dom.disable_open_during_load\", false);"));

    shell.choose(QStringLiteral("chromium"), false);
    EXPECT_NE(dynamic_cast<ChromiumBrowser*>(shell.adapter()), nullptr);
}

TEST(DesktopFirefox, TheUsualProfileIsUsedOnlyWhenItKeepsItsSettingsAndIsFree) {
    ensureApp();
    UserHome home;
    FakeFirefox firefox(home);
    const QString profile = home.path(QStringLiteral("config/mozilla/firefox/u.default-esr"));
    ChromiumOptions base;
    base.profileCheckMs = 50;

    // Firefox has no usual profile yet: nothing is launched, and that is said.
    DesktopBrowser none(base, found(firefox.program));
    none.choose(QStringLiteral("firefox"), true);
    none.start();
    EXPECT_EQ(stoppedStatus(none).reason, R::ChangesProfile);
    EXPECT_EQ(none.status().detail, QString());
    EXPECT_TRUE(none.status().ownProfile);

    QDir().mkpath(profile);
    writeFile(home.path(QStringLiteral("config/mozilla/firefox/profiles.ini")),
              "[Profile0]\nName=default-esr\nIsRelative=1\nPath=u.default-esr\n\n"
              "[InstallX]\nDefault=u.default-esr\nLocked=1\n");
    const QByteArray prefs = "user_pref(\"browser.startup.page\", 3);\n";
    writeFile(profile + QStringLiteral("/prefs.js"), prefs);

    // Watched, Firefox would turn its protections off in that profile: not without the
    // user's word, written in the profile by the user. The profile is left as it is.
    DesktopBrowser shell(base, found(firefox.program));
    shell.choose(QStringLiteral("firefox"), true);
    shell.start();
    EXPECT_EQ(stoppedStatus(shell).reason, R::ChangesProfile);
    EXPECT_EQ(shell.status().detail, profile + QStringLiteral("/user.js"));
    EXPECT_FALSE(firefox.ran());
    EXPECT_EQ(QDir(profile).entryList(QDir::Files | QDir::Hidden), QStringList{"prefs.js"});
    EXPECT_EQ(readFile(profile + QStringLiteral("/prefs.js")), prefs);

    // The user writes it, with a Firefox still running on that profile.
    writeFile(profile + QStringLiteral("/user.js"),
              "user_pref(\"remote.prefs.recommended\", false);\n");
    ASSERT_TRUE(QFile::link("127.0.0.1:+" + QString::number(::getpid()),
                            profile + QStringLiteral("/lock")));
    shell.wake();
    EXPECT_EQ(shell.status().reason, R::ProfileInUse);
    EXPECT_EQ(shell.status().detail, profile);
    EXPECT_FALSE(firefox.ran());

    // Once that Firefox is gone, Tavrel's starts on the profile by itself.
    QFile::remove(profile + QStringLiteral("/lock"));
    ASSERT_TRUE(waitFor([&] { return firefox.ran(); }));
    EXPECT_EQ(firefox.arguments(),
              (QStringList{"--remote-debugging-port", "0", "--profile", profile}));
    EXPECT_EQ(readFile(profile + QStringLiteral("/user.js")),
              "user_pref(\"remote.prefs.recommended\", false);\n");
}

TEST(DesktopFirefox, AFirefoxFixedFromOutsideIsWatchedAsFirefoxUnlessTheKindSaysOtherwise) {
    ensureApp();
    UserHome home;
    FakeFirefox firefox(home);
    ChromiumOptions fixed;
    fixed.browser = firefox.program;
    fixed.arguments = {QStringLiteral("--profile"), home.path(QStringLiteral("mine"))};
    DesktopBrowser shell(fixed, BrowserDiscovery());
    EXPECT_TRUE(shell.overrides().browser);
    EXPECT_TRUE(shell.overrides().profile) << "a Firefox profile flag fixes the profile";
    shell.choose(QStringLiteral("chromium"), true);
    shell.start();
    ASSERT_NE(dynamic_cast<FirefoxBrowser*>(shell.adapter()), nullptr);
    EXPECT_EQ(stoppedStatus(shell).browser, QStringLiteral("Firefox"));
    EXPECT_FALSE(shell.status().ownProfile);
    EXPECT_EQ(firefox.arguments(), (QStringList{"--remote-debugging-port", "0", "--profile",
                                                home.path(QStringLiteral("mine"))}));

    qputenv("TAVREL_BROWSER_KIND", "chromium");
    DesktopBrowser chromium(fixed, BrowserDiscovery());
    qunsetenv("TAVREL_BROWSER_KIND");
    chromium.start();
    EXPECT_NE(dynamic_cast<ChromiumBrowser*>(chromium.adapter()), nullptr);

    // Firefox's own setting from the environment, said in French as the others are.
    qputenv("TAVREL_POPUP_GUARD", "loose");
    DesktopBrowser guarded(fixed, BrowserDiscovery());
    guarded.start();
    qunsetenv("TAVREL_POPUP_GUARD");
    EXPECT_EQ(stoppedStatus(guarded).reason, R::BadSetting);
    EXPECT_EQ(guarded.status().detail,
              QStringLiteral("TAVREL_POPUP_GUARD : « loose » n'est ni strict ni light"));
}
