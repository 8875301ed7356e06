#include "app/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using app::CommandLine;
using Action = app::CommandLine::Action;

namespace {

CommandLine parse(QStringList arguments, bool lenient = false) {
    arguments.prepend(QStringLiteral("/usr/bin/tavrel"));
    return CommandLine::parse(arguments, lenient);
}

} // namespace

TEST(CommandLine, HelpAndVersionAnswerWhateverElseIsThere) {
    const CommandLine help = parse({QStringLiteral("--bogus"), QStringLiteral("-h")});
    EXPECT_EQ(help.action, Action::ShowHelp);
    EXPECT_TRUE(help.text.startsWith(QStringLiteral("Utilisation : tavrel [options]\n")));
    for (const char* option : {"--help", "--version", "--browser <programme>",
                               "--attach <hôte:port>", "--profile <dossier>", "TAVREL_BROWSER",
                               "TAVREL_ATTACH", "TAVREL_BROWSER_PROFILE", "QT_LOGGING_RULES"})
        EXPECT_TRUE(help.text.contains(QString::fromUtf8(option))) << option;
    for (const QString& line : help.text.split(u'\n'))
        EXPECT_LE(line.size(), 78) << line.toStdString();
    EXPECT_EQ(parse({QStringLiteral("--version"), QStringLiteral("--help")}).action,
              Action::ShowHelp);
    EXPECT_EQ(parse({QStringLiteral("--help=oui")}).action, Action::ShowHelp);

    const CommandLine version = parse({QStringLiteral("-v")});
    EXPECT_EQ(version.action, Action::ShowVersion);
    EXPECT_EQ(version.text, QStringLiteral("Tavrel %1\n").arg(app::programVersion()));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$"))
                    .match(app::programVersion())
                    .hasMatch());
}

TEST(CommandLine, OptionsBecomeTheirEnvironmentVariablesAndWinOverThem) {
    const CommandLine none = parse({});
    EXPECT_EQ(none.action, Action::Run);
    EXPECT_TRUE(none.environment.isEmpty());

    const CommandLine all =
        parse({QStringLiteral("--profile"), QStringLiteral("profil relatif"),
               QStringLiteral("--attach=localhost:9222"), QStringLiteral("-browser"),
               QStringLiteral("/opt/navigateur/chrome")});
    ASSERT_EQ(all.action, Action::Run) << all.text.toStdString();
    using Entry = std::pair<QByteArray, QString>;
    EXPECT_EQ(all.environment,
              (QList<Entry>{{"TAVREL_BROWSER", QStringLiteral("/opt/navigateur/chrome")},
                            {"TAVREL_ATTACH", QStringLiteral("localhost:9222")},
                            {"TAVREL_BROWSER_PROFILE",
                             QDir::current().absoluteFilePath(QStringLiteral("profil relatif"))}}));

    const QByteArray saved = qgetenv("TAVREL_BROWSER");
    const bool wasSet = qEnvironmentVariableIsSet("TAVREL_BROWSER");
    qputenv("TAVREL_BROWSER", "from-the-environment");
    parse({QStringLiteral("--browser"), QStringLiteral("navigateur é")}).applyToEnvironment();
    EXPECT_EQ(qEnvironmentVariable("TAVREL_BROWSER"), QStringLiteral("navigateur é"));
    parse({}).applyToEnvironment(); // no option: the environment keeps its value
    EXPECT_EQ(qEnvironmentVariable("TAVREL_BROWSER"), QStringLiteral("navigateur é"));
    if (wasSet)
        qputenv("TAVREL_BROWSER", saved);
    else
        qunsetenv("TAVREL_BROWSER");
}

TEST(CommandLine, AWrongArgumentFailsWithOneFrenchLine) {
    const struct {
        QStringList arguments;
        const char* reason;
    } cases[] = {
        {{QStringLiteral("--bogus")}, "option inconnue « --bogus »"},
        {{QStringLiteral("-x")}, "option inconnue « -x »"},
        {{QStringLiteral("--browser")}, "il manque une valeur après « --browser »"},
        {{QStringLiteral("page.html")}, "argument inattendu « page.html »"},
    };
    for (const auto& c : cases) {
        const CommandLine failed = parse(c.arguments);
        EXPECT_EQ(failed.action, Action::Fail) << c.reason;
        EXPECT_EQ(failed.text, QStringLiteral("tavrel : %1 (tavrel --help donne les options)")
                                   .arg(QString::fromUtf8(c.reason)));
        EXPECT_FALSE(failed.text.contains(u'\n'));
        EXPECT_TRUE(failed.environment.isEmpty());
    }
    // Before Qt has taken its own arguments away, they are no failure.
    EXPECT_EQ(parse({QStringLiteral("-platform"), QStringLiteral("offscreen")}, true).action,
              Action::Run);
}

TEST(CommandLine, TheManualPageDescribesEveryOption) {
    QFile page(QStringLiteral(TAVREL_SOURCE_DIR "/data/tavrel.1"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(page.readAll());
    for (const char* option : {"help", "version", "browser", "attach", "profile"})
        EXPECT_TRUE(text.contains(QStringLiteral("\\-\\-") + QLatin1String(option))) << option;
    for (const char* variable : {"TAVREL_BROWSER", "TAVREL_ATTACH", "TAVREL_BROWSER_PROFILE"})
        EXPECT_TRUE(text.contains(QLatin1String(variable))) << variable;
}
