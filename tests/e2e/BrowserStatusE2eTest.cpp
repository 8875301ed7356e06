// Which browser is watched and what the program says about it, on a real headless Chromium:
// a browser found under another name, no browser at all, a profile already held by a running
// browser, a browser that refuses to be watched, and one killed and back.

#include "E2eSupport.h"

#include "app/StartUp.h"
#include "fakes/FakePlatform.h"
#include "platform/linux/DesktopBrowser.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <csignal>

// Texts in failures as text.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

using e2e::Browser;
using e2e::waitUntil;
using platform::BrowserStatus;
using platform::linuxp::BrowserDiscovery;
using platform::linuxp::ChromiumBrowser;
using platform::linuxp::ChromiumLauncher;
using platform::linuxp::ChromiumOptions;
using platform::linuxp::DesktopBrowser;

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
    /// The messages shown so far about the browser (not those of the empty program folder).
    QStringList messages() {
        for (const QString& line : fake.transcript.take())
            if (line.startsWith(u"message ") &&
                (line.contains(u"surveill") || line.contains(u"navigateur")))
                shown << line;
        return shown;
    }
    bool told(const QString& words) { return messages().join(u'\n').contains(words); }
    fakes::FakePlatform fake;
    platform::Platform platform;
    std::unique_ptr<app::Program> program;
    QStringList said;
    QStringList shown;
};

// A folder standing for the PATH, holding the scripts written into it.
struct Path {
    QTemporaryDir dir;
    void script(const QString& name, const QByteArray& body) {
        QFile f(dir.path() + u'/' + name);
        f.open(QIODevice::WriteOnly);
        f.write("#!/bin/sh\n" + body);
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    /// The browsers found with only this folder on the PATH (and no desktop to ask).
    BrowserDiscovery discover() const {
        const QByteArray saved = qgetenv("PATH");
        qputenv("PATH", dir.path().toUtf8());
        BrowserDiscovery d;
        d.scan();
        qputenv("PATH", saved);
        return d;
    }
};

QString chromium() {
    return QStandardPaths::findExecutable(QStringLiteral("chromium"));
}

// A script that runs the real Chromium, as a distribution's launcher does.
QByteArray runsChromium() {
    return "PATH=/usr/bin:/bin\nexec \"" + chromium().toUtf8() + "\" \"$@\"\n";
}

// Headless flags without a profile folder: the browser's usual profile is then the default.
QStringList withoutProfile(QStringList arguments) {
    arguments.removeIf([](const QString& a) { return a.startsWith(u"--user-data-dir"); });
    return arguments;
}

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

} // namespace

#define NEED_CHROMIUM()                                                                            \
    do {                                                                                           \
        if (const QString why = Browser::unavailableReason(); !why.isEmpty())                      \
            GTEST_SKIP() << "no Chromium to test against: " << why.toStdString();                  \
        if (qEnvironmentVariableIsSet("TAVREL_BROWSER"))                                           \
            GTEST_SKIP() << "no Chromium to test against: TAVREL_BROWSER fixes the browser";       \
    } while (0)

TEST(BrowserStatus, ABrowserFoundUnderAnotherNameIsWatchedUnderThatName) {
    NEED_CHROMIUM();
    Path path;
    path.script("brave-browser", runsChromium());
    const BrowserDiscovery found = path.discover();
    ASSERT_EQ(found.found().size(), 1);
    EXPECT_EQ(found.defaultId(), QStringLiteral("brave-browser"));

    QTemporaryDir profile;
    DesktopBrowser shell(Browser::headlessOptions(profile.path()), found);
    ProgramOn p(shell);
    p.start();
    shell.start();
    ASSERT_TRUE(waitUntil(
        [&] { return p.status() == QStringLiteral("Navigateur surveillé : Brave — 1 fenêtre"); },
        30000))
        << p.status().toStdString();
    EXPECT_EQ(p.program->form().browserBox.items(), QStringList{"Brave"});
    EXPECT_TRUE(shell.adapterOptions().browser.endsWith(u"/brave-browser"));
    EXPECT_EQ(p.program->taskBarIcon().toolTip(),
              QStringLiteral("Tavrel\nNavigateur surveillé : Brave — 1 fenêtre"));
    EXPECT_TRUE(p.messages().isEmpty()) << p.messages().join(u'\n').toStdString();
}

TEST(BrowserStatus, NoBrowserAtAllIsToldAndShown) {
    Path path; // nothing in it
    QTemporaryDir profile;
    DesktopBrowser shell(Browser::headlessOptions(profile.path()), path.discover());
    ProgramOn p(shell);
    p.start();
    shell.start();
    ASSERT_TRUE(waitUntil([&] { return !p.messages().isEmpty(); }, 5000));
    EXPECT_EQ(
        p.messages(),
        QStringList{"message warning \"Tavrel\": \"Tavrel ne surveille aucun navigateur : chromium "
                    "introuvable.\\n\\nInstallez l'un des navigateurs que Tavrel sait surveiller "
                    "(Chromium, Google Chrome, Brave, Microsoft Edge, Vivaldi, Firefox), puis "
                    "choisissez-le "
                    "dans l'onglet « Configuration », « Navigateur surveillé ».\""});
    EXPECT_EQ(p.status(), QStringLiteral("Aucun navigateur surveillé : chromium introuvable"));
    EXPECT_FALSE(p.program->form().browserBox.enabled());
    EXPECT_TRUE(shell.windows().isEmpty());
}

TEST(BrowserStatus, ABrowserAlreadyRunningWithTheProfileIsToldThenWatchedOnceClosed) {
    NEED_CHROMIUM();
    QTemporaryDir profile;
    QProcess user;
    user.setProgram(chromium());
    user.setArguments(Browser::headlessOptions(profile.path()).arguments);
    user.setStandardOutputFile(QProcess::nullDevice());
    user.setStandardErrorFile(QProcess::nullDevice());
    user.start();
    ASSERT_TRUE(user.waitForStarted(10000));
    ASSERT_TRUE(waitUntil(
        [&] { return ChromiumLauncher::profileHolder(profile.path()).has_value(); }, 30000));

    ChromiumOptions options = Browser::headlessOptions(profile.path());
    options.profileCheckMs = 200;
    BrowserDiscovery d;
    d.scan();
    DesktopBrowser shell(options, d);
    ProgramOn p(shell);
    p.start();
    shell.start();
    ASSERT_TRUE(waitUntil([&] { return !p.messages().isEmpty(); }, 10000));
    EXPECT_EQ(p.status(), QStringLiteral("Aucun navigateur surveillé : Chromium est déjà ouvert "
                                         "avec le profil de Tavrel"));
    EXPECT_TRUE(p.told("Chromium est déjà ouvert avec le profil de Tavrel, sans être surveillé."
                       "\\n\\nFermez toutes les fenêtres de Chromium : Tavrel le relancera "
                       "aussitôt, sous surveillance."))
        << p.messages().join(u'\n').toStdString();
    EXPECT_EQ(shell.status().detail, profile.path());

    // The user closes that browser: Tavrel launches its own and says so.
    user.terminate();
    ASSERT_TRUE(user.waitForFinished(10000));
    ASSERT_TRUE(waitUntil(
        [&] { return p.status() == QStringLiteral("Navigateur surveillé : Chromium — 1 fenêtre"); },
        30000))
        << p.status().toStdString();
    EXPECT_TRUE(waitUntil([&] { return p.told("Tavrel surveille maintenant Chromium."); }, 2000));
}

TEST(ChromiumAdapter, ALaunchHandedOverToTheBrowserHoldingTheProfileIsNoticed) {
    NEED_CHROMIUM();
    QTemporaryDir profile;
    QProcess user;
    user.setProgram(chromium());
    user.setArguments(Browser::headlessOptions(profile.path()).arguments);
    user.setStandardOutputFile(QProcess::nullDevice());
    user.setStandardErrorFile(QProcess::nullDevice());
    user.start();
    ASSERT_TRUE(user.waitForStarted(10000));
    ASSERT_TRUE(waitUntil(
        [&] { return ChromiumLauncher::profileHolder(profile.path()).has_value(); }, 30000));

    // Without the look at the lock, the launched browser ends at once, handing over.
    ChromiumOptions options = Browser::headlessOptions(profile.path());
    options.checkProfileLock = false;
    options.profileCheckMs = 200;
    ChromiumBrowser shell(options);
    ASSERT_TRUE(shell.start());
    ASSERT_TRUE(waitUntil(
        [&] { return shell.status().reason == BrowserStatus::Reason::ProfileInUse; }, 20000))
        << shell.lastError().toStdString();
    EXPECT_EQ(shell.status().state, BrowserStatus::State::Stopped);
    EXPECT_EQ(user.state(), QProcess::Running) << "the user's browser is left alone";
    user.kill();
    user.waitForFinished(5000);
    EXPECT_TRUE(waitUntil([&] { return shell.connected() && !shell.windows().isEmpty(); }, 30000));
}

TEST(BrowserStatus, ABrowserThatRefusesTheUsualProfileIsSaidPlainly) {
    NEED_CHROMIUM();
    // As a browser that ignores the debugging flags on its default profile: it says so and
    // runs on as an ordinary browser.
    Path path;
    path.script("google-chrome",
                "case \"$*\" in *--user-data-dir*) ;; *) echo 'ERROR: DevTools remote debugging "
                "requires a non-default data directory. Specify this using --user-data-dir.' >&2;; "
                "esac\n"
                "for a; do shift; case \"$a\" in --remote-debugging-pipe) ;; *) set -- \"$@\" "
                "\"$a\";; esac; done\n" +
                    runsChromium());
    QTemporaryDir home;
    Variable config("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    Variable data("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    ChromiumOptions base = Browser::headlessOptions(home.path());
    base.arguments = withoutProfile(base.arguments);
    base.answerMs = 3000;
    DesktopBrowser shell(base, path.discover());
    ProgramOn p(shell);
    p.fake.settings.setValue("Tavrel", "Config", "ProfilHabituel", "1");
    p.start();
    shell.start();
    ASSERT_TRUE(waitUntil([&] { return !p.messages().isEmpty(); }, 20000));
    EXPECT_EQ(p.status(), QStringLiteral("Aucun navigateur surveillé : Google Chrome refuse la "
                                         "surveillance sur votre profil habituel"));
    EXPECT_TRUE(p.told("Google Chrome refuse d'être surveillé sur votre profil habituel"));
    auto* chrome = static_cast<ChromiumBrowser*>(shell.adapter());
    EXPECT_EQ(chrome->browserPid(), 0) << "the refusing browser is closed";
    EXPECT_EQ(chrome->options().usualProfileDir, home.path() + "/config/google-chrome");

    // On Tavrel's own profile, the same browser that never answers is given up in time.
    p.program->form().ownProfileSwitch.userSet(0);
    ASSERT_TRUE(waitUntil(
        [&] {
            return p.status() ==
                   QStringLiteral("Aucun navigateur surveillé : Google Chrome ne répond pas");
        },
        20000))
        << p.status().toStdString();
    EXPECT_TRUE(waitUntil([&] { return p.told("Google Chrome n'a pas répondu à Tavrel"); }, 2000));
}

TEST(BrowserStatus, TheStatusFollowsALaunchedBrowserKilledAndStartedAgain) {
    NEED_CHROMIUM();
    QTemporaryDir profile;
    BrowserDiscovery d;
    d.scan();
    DesktopBrowser shell(Browser::headlessOptions(profile.path()), d);
    ProgramOn p(shell);
    p.start();
    shell.start();
    const QString watched = QStringLiteral("Navigateur surveillé : Chromium — 1 fenêtre");
    ASSERT_TRUE(waitUntil([&] { return p.status() == watched; }, 30000))
        << p.status().toStdString();
    auto* chrome = static_cast<ChromiumBrowser*>(shell.adapter());
    ASSERT_EQ(::kill(pid_t(chrome->browserPid()), SIGKILL), 0);
    ASSERT_TRUE(waitUntil([&] { return p.status() != watched; }, 10000));
    ASSERT_TRUE(waitUntil([&] { return p.status() == watched; }, 30000))
        << p.said.join(u'\n').toStdString();
    EXPECT_TRUE(p.said.contains(
        QStringLiteral("Aucun navigateur surveillé : Chromium s'est arrêté, redémarrage…")))
        << p.said.join(u'\n').toStdString();
    EXPECT_TRUE(p.messages().isEmpty()) << "a crash mended at once is not a message";
}

TEST(BrowserStatus, TheStatusFollowsAnAttachedBrowserKilledAndBack) {
    NEED_CHROMIUM();
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    QTemporaryDir profile;
    ChromiumOptions options = Browser::headlessOptions(profile.path());
    QStringList args = options.arguments;
    args << QStringLiteral("--remote-debugging-port=%1").arg(port);
    auto launch = [&](QProcess& proc) {
        proc.setProgram(chromium());
        proc.setArguments(args);
        proc.setStandardOutputFile(QProcess::nullDevice());
        proc.setStandardErrorFile(QProcess::nullDevice());
        proc.start();
        return proc.waitForStarted(10000);
    };
    QProcess user;
    ASSERT_TRUE(launch(user));
    options.attachPort = port;
    DesktopBrowser shell(options, BrowserDiscovery());
    ProgramOn p(shell);
    p.start();
    shell.start();
    const QString address = QStringLiteral("127.0.0.1:%1").arg(port);
    const QString watched = QStringLiteral("Navigateur surveillé : %1 — 1 fenêtre").arg(address);
    ASSERT_TRUE(waitUntil([&] { return p.status() == watched; }, 30000))
        << p.status().toStdString();

    user.kill();
    user.waitForFinished(5000);
    ASSERT_TRUE(waitUntil(
        [&] {
            return p.status() ==
                   QStringLiteral("Aucun navigateur surveillé : connexion perdue avec ") + address;
        },
        10000))
        << p.status().toStdString();
    EXPECT_TRUE(waitUntil(
        [&] {
            return p.told(QStringLiteral("La connexion au navigateur de l'adresse %1 est perdue")
                              .arg(address));
        },
        2000));

    QProcess again;
    ASSERT_TRUE(launch(again));
    ASSERT_TRUE(waitUntil([&] { return p.status() == watched; }, 30000))
        << p.status().toStdString();
    EXPECT_TRUE(waitUntil(
        [&] { return p.told(QStringLiteral("Tavrel surveille de nouveau %1.").arg(address)); },
        2000));
    again.kill();
    again.waitForFinished(5000);
}
