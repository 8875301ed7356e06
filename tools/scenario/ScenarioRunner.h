#pragma once

#include "app/Program.h"
#include "fakes/FakePlatform.h"
#include "tools/scenario/LineParser.h"

#include <QHash>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <memory>
#include <vector>

namespace scenario {

// Runs a scenario script on the fake platform and prints its transcript. The commands are
// registered by family (Commands.h); the runner reads the lines, runs them, and gives the
// commands the world, the program and the transcript.
class ScenarioRunner {
public:
    explicit ScenarioRunner(QTextStream& out);
    ~ScenarioRunner();

    /// Runs a whole script; returns 0 when it ran to its end, 2 when a line was not understood.
    int run(const QString& scriptText);

    using Command = std::function<void(const std::vector<Word>& args)>;
    /// Adds (or replaces) a command.
    void addCommand(const QString& name, Command command);

    // For the commands: the world, the program, and the transcript.
    fakes::FakePlatform& fake() { return m_fake; }
    /// Starts the program; with `second`, a second start while it runs.
    void start(bool second);
    /// The running program; throws LineError before `start`.
    app::Program& program() const;
    /// The main window's controls; throws LineError before `start`.
    app::MainForm& form() const { return program().form(); }
    /// Whether a modal form of the program is open (commands then go to it).
    bool modalOpen() const { return !m_modalForms.empty(); }
    /// A control of the open modal form, or else of the main window; throws LineError.
    controls::Control* control(const QString& name) const;
    template <class T> T& controlAs(const QString& name) const {
        controls::Control* c = control(name);
        if (T* t = qobject_cast<T*>(c))
            return *t;
        throw LineError{name + QStringLiteral(" cannot do that")};
    }
    /// A control of the main window, even while a modal form is open; throws LineError.
    controls::Control* mainControl(const QString& name) const;
    template <class T> T& mainControlAs(const QString& name) const {
        if (T* t = qobject_cast<T*>(mainControl(name)))
            return *t;
        throw LineError{name + QStringLiteral(" cannot do that")};
    }
    /// Prints a line after the transcript lines pending so far.
    void print(const QString& line);
    /// Prints the transcript lines pending so far.
    void flush();
    /// Lets the browser carry out the close requests made so far.
    void settleBrowser();
    /// A path in the program folder ("NAME" or "/prog/NAME"); absolute paths stay as they are.
    QString programPath(const QString& name) const;
    /// The same for a word, whose bytes may hold a name that is not UTF-8 (`"spy\xff.exe"`).
    QString programPath(const Word& name) const;

private:
    void executeLine(int index);

    QTextStream& m_out;
    fakes::FakePlatform m_fake;
    std::unique_ptr<app::Program> m_program;
    std::vector<controls::Form*> m_modalForms;
    QHash<QString, Command> m_commands;
    QStringList m_lines;
    int m_next = 0;
    bool m_ended = false;
};

} // namespace scenario
