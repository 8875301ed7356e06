#pragma once

#include "app/FrmMain.h"
#include "fakes/FakePlatform.h"

#include <QHash>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <memory>
#include <vector>

namespace scenario {

// One word of a scenario line. `bytes` keeps the exact bytes of a quoted string (\xNN gives
// one byte); `text` is its UTF-8 reading.
struct Word {
    QString text;
    QByteArray bytes;
    bool quoted = false;
    QString key; // for key=value words: the key (text and bytes hold the value)
};

struct LineError {
    QString message;
};

// Runs a scenario script on the fake platform and prints its transcript.
class ScenarioRunner {
public:
    explicit ScenarioRunner(QTextStream& out);
    ~ScenarioRunner();

    /// Runs a whole script; returns 0 when it ran to its end, 2 when a line was not understood.
    int run(const QString& scriptText);

    using Command = std::function<void(const std::vector<Word>& args)>;
    /// Adds (or replaces) a command.
    void addCommand(const QString& name, Command command);

    /// Splits one line into words; throws LineError.
    static std::vector<Word> split(const QString& line);

    // For the commands: the world, the program, and the transcript.
    fakes::FakePlatform& fake() { return m_fake; }
    /// The main window; throws LineError before `start`.
    app::FrmMain& form() const;
    /// A control of the open modal form, or else of the main window; throws LineError.
    controls::Control* control(const QString& name) const;
    template <class T> T& controlAs(const QString& name) const {
        controls::Control* c = control(name);
        if (T* t = qobject_cast<T*>(c))
            return *t;
        throw LineError{name + QStringLiteral(" cannot do that")};
    }
    /// Prints a line after the transcript lines pending so far.
    void print(const QString& line);
    /// A path in the program folder ("NAME" or "/prog/NAME"); absolute paths stay as they are.
    QString programPath(const QString& name) const;
    /// Prints a control's state in the `dump` form.
    void dumpControl(const controls::Control& c);

private:
    void registerCommands();
    void executeLine(int index);
    void flush();
    void settleBrowser();

    QTextStream& m_out;
    fakes::FakePlatform m_fake;
    std::unique_ptr<app::FrmMain> m_form;
    std::vector<controls::Form*> m_modalForms;
    QHash<QString, Command> m_commands;
    QStringList m_lines;
    int m_next = 0;
    bool m_ended = false;
};

} // namespace scenario
