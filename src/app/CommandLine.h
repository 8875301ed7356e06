#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace app {

// The program's command line. Its options choose what the environment variables of the same
// meaning choose (TAVREL_BROWSER, TAVREL_ATTACH, TAVREL_BROWSER_PROFILE); given on the command
// line, they win over the environment. The program takes no other argument.
struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, Fail };

    Action action = Action::Run;
    /// What to print: the help or the version text, or the reason of a failure (one line).
    QString text;
    /// The environment variables the options set, in the order of the options' table.
    QList<std::pair<QByteArray, QString>> environment;

    /// Reads the arguments (the program's name first). With `lenient`, arguments that are not
    /// Tavrel's (those of Qt, read before Qt removes them) are no failure.
    static CommandLine parse(const QStringList& arguments, bool lenient = false);
    /// Sets the variables of `environment` in the process environment.
    void applyToEnvironment() const;
};

/// The program's version, "1.1.0".
QString programVersion();

} // namespace app
