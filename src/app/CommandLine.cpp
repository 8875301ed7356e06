#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

namespace app {

namespace {

// The options that stand for an environment variable.
struct ValueOption {
    const char* name;
    const char* variable;
    const char* valueName;
    const char* description;
};

constexpr ValueOption kValueOptions[] = {
    {"browser", "TAVREL_BROWSER", "programme",
     "Le navigateur à lancer : un chemin, ou un nom trouvé dans le PATH (chromium, "
     "google-chrome, brave-browser, microsoft-edge, vivaldi, firefox-esr, firefox ; par défaut "
     "celui choisi dans l'onglet Configuration)."},
    {"attach", "TAVREL_ATTACH", "hôte:port",
     "Surveille un navigateur déjà lancé avec --remote-debugging-port sur cette machine "
     "(127.0.0.1, localhost ou ::1) au lieu d'en lancer un."},
    {"profile", "TAVREL_BROWSER_PROFILE", "dossier",
     "Le dossier de profil du navigateur lancé (par défaut "
     "~/.local/share/Tavrel/browser-profile, ou firefox-profile pour Firefox)."},
};

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// QCommandLineParser's own messages are in English; the program speaks French.
QString frenchError(const QCommandLineParser& parser) {
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().first();
        return QStringLiteral("option inconnue « %1%2 »")
            .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name);
    }
    // The only other error: an option of ours without its value (a value given to --help or
    // --version is no error, the help or the version answers).
    static const QRegularExpression missing(QStringLiteral("^Missing value after '(.*)'\\.$"));
    const QString error = parser.errorText();
    if (const auto m = missing.match(error); m.hasMatch())
        return QStringLiteral("il manque une valeur après « %1 »").arg(m.captured(1));
    return error;
}

QString helpText(const QString& program) {
    QString text = QStringLiteral("Utilisation : %1 [options]\n"
                                  "Tavrel ferme les fenêtres de publicité du navigateur.\n\n"
                                  "Options :\n")
                       .arg(program);
    // Each description on lines of at most 78 characters, under its option.
    auto line = [&](const QString& names, const QString& description) {
        text += QStringLiteral("  ") + names + u'\n';
        QString current;
        for (const QString& word : description.split(u' ', Qt::SkipEmptyParts)) {
            if (!current.isEmpty() && 6 + current.size() + 1 + word.size() > 78) {
                text += QStringLiteral("      ") + current + u'\n';
                current.clear();
            }
            current += (current.isEmpty() ? QString() : QStringLiteral(" ")) + word;
        }
        text += QStringLiteral("      ") + current + u'\n';
    };
    line(QStringLiteral("-h, --help"), QStringLiteral("Affiche cette aide et quitte."));
    line(QStringLiteral("-v, --version"), QStringLiteral("Affiche la version et quitte."));
    for (const ValueOption& o : kValueOptions)
        line(QStringLiteral("--%1 <%2>").arg(u8(o.name), u8(o.valueName)),
             u8(o.description) + QStringLiteral(" Comme la variable %1.").arg(u8(o.variable)));
    text += QStringLiteral(
        "\nUne option donnée ici l'emporte sur la variable d'environnement.\n"
        "Journal de diagnostic : QT_LOGGING_RULES=\"tavrel.*=true\" (voir man tavrel).\n");
    return text;
}

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments, bool lenient) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    QList<QCommandLineOption> values;
    for (const ValueOption& o : kValueOptions) {
        values.append(QCommandLineOption(u8(o.name), u8(o.description), u8(o.valueName)));
        parser.addOption(values.last());
    }

    CommandLine result;
    const bool parsed = parser.parse(arguments);
    const QString program =
        arguments.isEmpty() ? QStringLiteral("tavrel") : arguments.first().section(u'/', -1);
    if (parser.isSet(help)) {
        result.action = Action::ShowHelp;
        result.text = helpText(program);
        return result;
    }
    if (parser.isSet(version)) {
        result.action = Action::ShowVersion;
        result.text = QStringLiteral("Tavrel %1\n").arg(programVersion());
        return result;
    }
    if (lenient)
        return result;
    if (!parsed || !parser.positionalArguments().isEmpty()) {
        result.action = Action::Fail;
        const QString why = !parsed ? frenchError(parser)
                                    : QStringLiteral("argument inattendu « %1 »")
                                          .arg(parser.positionalArguments().first());
        result.text = QStringLiteral("%1 : %2 (%1 --help donne les options)").arg(program, why);
        return result;
    }
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (!parser.isSet(values[i]))
            continue;
        QString value = parser.value(values[i]);
        // The browser runs in a folder of its own choosing: a relative profile folder is
        // taken from where Tavrel was started.
        if (values[i].names().first() == u"profile" && !value.isEmpty())
            value = QFileInfo(value).absoluteFilePath();
        result.environment.append({QByteArray(kValueOptions[i].variable), value});
    }
    return result;
}

void CommandLine::applyToEnvironment() const {
    for (const auto& [variable, value] : environment)
        qputenv(variable.constData(), value.toLocal8Bit());
}

QString programVersion() {
    return QStringLiteral("%1.%2.%3")
        .arg(TAVREL_VERSION_MAJOR)
        .arg(TAVREL_VERSION_MINOR)
        .arg(TAVREL_VERSION_PATCH);
}

} // namespace app
