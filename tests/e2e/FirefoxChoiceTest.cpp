// Firefox chosen in the program, on a real headless Firefox: the choice watches it and the
// status follows it when it is killed or closed; a profile that a running Firefox holds is
// waited for; the user's usual profile is watched only with its settings kept, Firefox's own
// pop-up blocker then deciding first.

#include "FirefoxSupport.h"

#include "app/StartUp.h"
#include "fakes/FakePlatform.h"
#include "platform/linux/DesktopBrowser.h"
#include "platform/linux/FirefoxProfiles.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <csignal>

using e2e::Firefox;
using e2e::waitUntil;
using platform::BrowserStatus;
using platform::linuxp::BidiReply;
using platform::linuxp::BrowserDiscovery;
using platform::linuxp::ChromiumOptions;
using platform::linuxp::DesktopBrowser;
using platform::linuxp::FirefoxBrowser;
using platform::linuxp::FirefoxOptions;
using platform::linuxp::FirefoxProfiles;

namespace {

// The program on a real browser shell, every other outside piece faked; it records what the
// status bar said and the messages shown.
struct ProgramOn {
    explicit ProgramOn(platform::BrowserShell& shell)
        : platform{shell,         fake.files,  fake.settings,  fake.dialogs,
                   fake.clock,    fake.sound,  fake.processes, fake.instance,
                   fake.registry, fake.system, fake.notifier} {}
    void start() {
        program = app::startUp(platform);
        controls::Label& label = program->form().browserStatusLabel;
        said << label.caption();
        QObject::connect(&label, &controls::Control::changed, [this, &label] {
            if (said.last() != label.caption())
                said << label.caption();
        });
    }
    QString status() const { return program->form().browserStatusLabel.caption(); }
    bool says(const QString& text, int ms = 60000) {
        return waitUntil([&] { return status() == text; }, ms);
    }
    /// The messages shown so far about the browser.
    QStringList messages() {
        for (const QString& line : fake.transcript.take())
            if (line.startsWith(u"message ") &&
                (line.contains(u"surveill") || line.contains(u"navigateur")))
                shown << line;
        return shown;
    }
    bool told(const QString& words) {
        return waitUntil([&] { return messages().join(u'\n').contains(words); }, 5000);
    }
    fakes::FakePlatform fake;
    platform::Platform platform;
    std::unique_ptr<app::Program> program;
    QStringList said;
    QStringList shown;
};

// A variable set for the life of the object.
struct Variable {
    Variable(const char* name, const QByteArray& value)
        : m_name(name), m_saved(qgetenv(name)), m_was(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
    }
    ~Variable() {
        if (m_was)
            qputenv(m_name, m_saved);
        else
            qunsetenv(m_name);
    }
    const char* m_name;
    QByteArray m_saved;
    bool m_was;
};

// A PATH of headless browsers, as a distribution's launchers: Firefox, and Chromium when
// installed; Tavrel's own profiles under a data folder of the test's.
struct Machine {
    QTemporaryDir dir;
    Variable data{"XDG_DATA_HOME", QFile::encodeName(dir.path() + QStringLiteral("/data"))};
    void script(const QString& name, const QString& program, const QString& flags) {
        QFile f(dir.path() + u'/' + name);
        f.open(QIODevice::WriteOnly);
        f.write("#!/bin/sh\nexec '" + QFile::encodeName(program) + "' " + flags.toUtf8() +
                " \"$@\"\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    Machine() {
        script(QStringLiteral("firefox-esr"), Firefox::program(), QStringLiteral("--headless"));
        const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (!chromium.isEmpty())
            script(QStringLiteral("chromium"), chromium,
                   QStringLiteral("--headless=new --no-sandbox --disable-gpu"));
    }
    BrowserDiscovery discover() const {
        BrowserDiscovery d;
        d.scan(
            [this](const QString& name) {
                const QString path = dir.path() + u'/' + name;
                return QFile::exists(path) ? path : QString();
            },
            QString());
        return d;
    }
    static ChromiumOptions base() {
        ChromiumOptions o;
        o.useX11 = false;
        o.retryMs = 300;
        o.profileCheckMs = 200;
        return o;
    }
};

FirefoxBrowser* firefoxOf(DesktopBrowser& shell) {
    return dynamic_cast<FirefoxBrowser*>(shell.adapter());
}

} // namespace

#define NEED_FIREFOX()                                                                             \
    do {                                                                                           \
        if (const QString why = Firefox::unavailableReason(); !why.isEmpty())                      \
            GTEST_SKIP() << "no Firefox to test against: " << why.toStdString();                   \
    } while (0)

TEST(FirefoxChoice, ChoosingFirefoxWatchesItAndTheStatusFollowsItKilledAndClosed) {
    NEED_FIREFOX();
    Machine machine;
    DesktopBrowser shell(Machine::base(), machine.discover());
    ProgramOn p(shell);
    p.start();
    shell.start();
    const QStringList items = p.program->form().browserBox.items();
    ASSERT_TRUE(items.contains(QStringLiteral("Firefox"))) << items.join(u',').toStdString();

    // The user picks Firefox in the list.
    p.program->form().browserBox.userSelect(int(items.indexOf(QStringLiteral("Firefox"))));
    const QString watched = QStringLiteral("Navigateur surveillé : Firefox — 1 fenêtre");
    ASSERT_TRUE(p.says(watched)) << p.said.join(u'\n').toStdString();
    ASSERT_NE(firefoxOf(shell), nullptr);
    EXPECT_EQ(p.program->taskBarIcon().toolTip(), QStringLiteral("Tavrel\n") + watched);
    EXPECT_TRUE(QFile::exists(machine.dir.path() + "/data/Tavrel/firefox-profile/user.js"));

    // Killed: said, started again, and no message for a crash mended at once.
    ASSERT_EQ(::kill(pid_t(firefoxOf(shell)->browserPid()), SIGKILL), 0);
    ASSERT_TRUE(waitUntil([&] { return p.status() != watched; }, 10000));
    ASSERT_TRUE(p.says(watched)) << p.said.join(u'\n').toStdString();
    EXPECT_TRUE(p.said.contains(
        QStringLiteral("Aucun navigateur surveillé : Firefox s'est arrêté, redémarrage…")))
        << p.said.join(u'\n').toStdString();
    EXPECT_TRUE(p.messages().isEmpty()) << p.messages().join(u'\n').toStdString();

    // Closed as the user closes it (Firefox ends normally; a SIGTERM would be a crash to
    // it): said, and started again when Tavrel's window comes back.
    firefoxOf(shell)->connection()->send(QStringLiteral("browser.close"));
    ASSERT_TRUE(p.says(QStringLiteral("Aucun navigateur surveillé : Firefox a été fermé"), 20000))
        << p.said.join(u'\n').toStdString();
    EXPECT_TRUE(p.told("Firefox a été fermé : Tavrel ne surveille plus aucune fenêtre."));
    shell.wake();
    ASSERT_TRUE(p.says(watched)) << p.said.join(u'\n').toStdString();
    EXPECT_TRUE(p.told("Tavrel surveille de nouveau Firefox."));
}

TEST(FirefoxChoice, AProfileThatARunningFirefoxHoldsIsWaitedFor) {
    NEED_FIREFOX();
    Machine machine;
    QTemporaryDir profile;
    QProcess user;
    user.setProgram(Firefox::program());
    user.setArguments({"--headless", "--profile", profile.path()});
    user.setStandardOutputFile(QProcess::nullDevice());
    user.setStandardErrorFile(QProcess::nullDevice());
    user.start();
    ASSERT_TRUE(user.waitForStarted(10000));
    ASSERT_TRUE(
        waitUntil([&] { return FirefoxProfiles::lockHolder(profile.path()).has_value(); }, 30000));
    EXPECT_EQ(FirefoxProfiles::lockHolder(profile.path()), user.processId());

    ChromiumOptions base = Machine::base();
    base.profileDir = profile.path();
    DesktopBrowser shell(base, machine.discover());
    ProgramOn p(shell);
    p.fake.settings.setValue("Tavrel", "Config", "Navigateur", "firefox");
    p.start();
    shell.start();
    ASSERT_TRUE(p.says(QStringLiteral("Aucun navigateur surveillé : Firefox est déjà ouvert avec "
                                      "le profil de Tavrel"),
                       10000))
        << p.said.join(u'\n').toStdString();
    EXPECT_TRUE(p.told("Firefox est déjà ouvert avec le profil de Tavrel, sans être surveillé."
                       "\\n\\nFermez toutes les fenêtres de Firefox : Tavrel le relancera "
                       "aussitôt, sous surveillance."));
    EXPECT_EQ(firefoxOf(shell)->browserPid(), 0) << "nothing launched onto it";

    user.terminate();
    ASSERT_TRUE(user.waitForFinished(20000));
    ASSERT_TRUE(p.says(QStringLiteral("Navigateur surveillé : Firefox — 1 fenêtre")))
        << p.said.join(u'\n').toStdString();
    EXPECT_TRUE(p.told("Tavrel surveille maintenant Firefox."));
}

TEST(FirefoxChoice, ALaunchOntoAProfileInUseIsNoticed) {
    NEED_FIREFOX();
    QTemporaryDir profile;
    QProcess user;
    user.setProgram(Firefox::program());
    user.setArguments({"--headless", "--profile", profile.path()});
    user.setStandardOutputFile(QProcess::nullDevice());
    user.setStandardErrorFile(QProcess::nullDevice());
    user.start();
    ASSERT_TRUE(user.waitForStarted(10000));
    ASSERT_TRUE(
        waitUntil([&] { return FirefoxProfiles::lockHolder(profile.path()).has_value(); }, 30000));

    // Without the look at the lock, the launched Firefox says another one runs, and ends.
    FirefoxOptions options = Firefox::headlessOptions(profile.path());
    options.checkProfileLock = false;
    options.profileCheckMs = 200;
    FirefoxBrowser shell(options);
    ASSERT_TRUE(shell.start());
    ASSERT_TRUE(waitUntil(
        [&] { return shell.status().reason == BrowserStatus::Reason::ProfileInUse; }, 30000))
        << shell.lastError().toStdString();
    EXPECT_EQ(shell.status().detail, profile.path());
    EXPECT_EQ(user.state(), QProcess::Running) << "the user's Firefox is left alone";
    user.terminate();
    user.waitForFinished(20000);
    EXPECT_TRUE(waitUntil([&] { return shell.connected() && !shell.windows().isEmpty(); }, 60000))
        << shell.lastError().toStdString();
}

TEST(FirefoxChoice, TheUsualProfileKeepsItsSettingsAndFirefoxsOwnBlockerDecidesFirst) {
    NEED_FIREFOX();
    Machine machine;
    Variable home("HOME", QFile::encodeName(machine.dir.path()));
    Variable config("XDG_CONFIG_HOME", QFile::encodeName(machine.dir.path() + "/config"));
    const QString folder = machine.dir.path() + "/config/mozilla/firefox";
    const QString profile = folder + "/u.default-esr";
    QDir().mkpath(profile);
    QFile ini(folder + "/profiles.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Profile0]\nName=default-esr\nIsRelative=1\nPath=u.default-esr\n\n"
              "[InstallX]\nDefault=u.default-esr\nLocked=1\n");
    ini.close();
    // The line the message asks the user to add.
    QFile userJs(profile + "/user.js");
    ASSERT_TRUE(userJs.open(QIODevice::WriteOnly));
    userJs.write("user_pref(\"remote.prefs.recommended\", false);\n");
    // A new profile's first run opens the privacy notice in a second tab, a moment after
    // the welcome page (the recommended preferences would have kept it shut): the window
    // count would depend on when it comes.
    userJs.write("user_pref(\"datareporting.policy.dataSubmissionPolicyBypassNotification\", "
                 "true);\n");
    userJs.close();

    DesktopBrowser shellObject(Machine::base(), machine.discover());
    DesktopBrowser* shell = &shellObject;
    ProgramOn p(*shell);
    p.fake.settings.setValue("Tavrel", "Config", "Navigateur", "firefox");
    p.fake.settings.setValue("Tavrel", "Config", "ProfilHabituel", "1");
    p.start();
    shell->start();
    ASSERT_TRUE(p.says(QStringLiteral("Navigateur surveillé : Firefox (profil habituel, bloqueur "
                                      "de fenêtres de Firefox actif) — 1 fenêtre")))
        << p.said.join(u'\n').toStdString();
    EXPECT_EQ(firefoxOf(*shell)->options().usualProfileDir, profile);
    EXPECT_EQ(FirefoxProfiles::lockHolder(profile), firefoxOf(*shell)->browserPid());

    // Firefox's own blocker refuses a window opened without a click: no window is made.
    FirefoxBrowser& firefox = *firefoxOf(*shell);
    const QString context = firefox.contextOf(firefox.windows().first()->hwnd());
    std::optional<BidiReply> opened;
    firefox.connection()->send("script.evaluate",
                               {{"expression", "String(window.open('about:blank#popup'))"},
                                {"awaitPromise", false},
                                {"target", QJsonObject{{"context", context}}}},
                               [&](const BidiReply& r) { opened = r; });
    ASSERT_TRUE(waitUntil([&] { return opened.has_value(); }));
    EXPECT_EQ(opened->result.value("result").toObject().value("value").toString(), "null");
    e2e::spin(500);
    QStringList shown;
    for (platform::BrowserWindow* w : firefox.windows())
        shown << w->locationURL().value_or(QString());
    EXPECT_FALSE(shown.contains(QStringLiteral("about:blank#popup")))
        << shown.join(u' ').toStdString();

    // Ended normally, the profile holds none of Firefox's automation preferences.
    firefox.stop();
    QFile prefs(profile + "/prefs.js");
    ASSERT_TRUE(prefs.open(QIODevice::ReadOnly));
    const QByteArray written = prefs.readAll();
    EXPECT_FALSE(written.contains("remote.prefs.recommended.applied"));
    EXPECT_FALSE(written.contains("signon.rememberSignons"));
    EXPECT_FALSE(written.contains("dom.disable_open_during_load"));
}
