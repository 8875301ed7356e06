#include "tools/scenario/ScenarioRunner.h"

#include "app/StartUp.h"
#include "platform/ModalForm.h"
#include "tools/scenario/Commands.h"

namespace scenario {

ScenarioRunner::ScenarioRunner(QTextStream& out) : m_out(out) {
    m_fake.dialogs.modalDriver = [this](platform::ModalForm& modal) {
        m_modalForms.push_back(&modal.form());
        flush();
        while (!modal.closed() && m_next < m_lines.size() && !m_ended)
            executeLine(m_next++);
        m_modalForms.pop_back();
    };
    // Later families replace a command of the same name.
    registerSettingsCommands(*this);
    registerWatchCommands(*this);
    registerEditingCommands(*this);
    registerCookieCommands(*this);
    registerAntiSpyCommands(*this);
    registerListCommands(*this);
    registerBrowserCommands(*this);
    registerNoticeCommands(*this);
    registerWorldCommands(*this);
    registerDrivingCommands(*this);
    registerDumpCommands(*this);
}

ScenarioRunner::~ScenarioRunner() = default;

void ScenarioRunner::addCommand(const QString& name, Command command) {
    m_commands.insert(name, std::move(command));
}

void ScenarioRunner::print(const QString& line) {
    flush();
    m_out << line << '\n';
}

void ScenarioRunner::flush() {
    for (const QString& line : m_fake.transcript.take())
        m_out << line << '\n';
}

app::Program& ScenarioRunner::program() const {
    if (!m_program)
        throw LineError{QStringLiteral("the program is not started")};
    return *m_program;
}

void ScenarioRunner::start(bool second) {
    if (second && m_program) {
        app::startUp(m_fake.platform()); // warns and refuses: the instance is held
        return;
    }
    if (m_program)
        throw LineError{QStringLiteral("already started")};
    m_program = app::startUp(m_fake.platform());
    if (m_program)
        installChartStandIns(m_program->form());
}

controls::Control* ScenarioRunner::mainControl(const QString& name) const {
    if (controls::Control* c = form().find(name))
        return c;
    throw LineError{QStringLiteral("no control ") + name};
}

controls::Control* ScenarioRunner::control(const QString& name) const {
    for (auto it = m_modalForms.rbegin(); it != m_modalForms.rend(); ++it)
        if (controls::Control* c = (*it)->find(name))
            return c;
    if (!m_modalForms.empty())
        throw LineError{QStringLiteral("no control %1 on the open form").arg(name)};
    if (controls::Control* c = form().find(name))
        return c;
    throw LineError{QStringLiteral("no control ") + name};
}

QString ScenarioRunner::programPath(const Word& name) const {
    return programPath(fakes::FakeFiles::pathFromBytes(name.bytes));
}

QString ScenarioRunner::programPath(const QString& name) const {
    if (name.startsWith(u'/'))
        return name;
    return m_fake.files.programFolder() + u'/' + name;
}

void ScenarioRunner::settleBrowser() {
    m_fake.browser.settle();
}

int ScenarioRunner::run(const QString& scriptText) {
    m_lines = scriptText.split(u'\n');
    m_next = 0;
    while (m_next < m_lines.size()) {
        const int index = m_next++;
        try {
            executeLine(index);
        } catch (const LineError& e) {
            flush();
            m_out.flush();
            QTextStream(stderr) << "line " << (index + 1) << ": " << e.message << ": "
                                << m_lines.at(index).trimmed() << '\n';
            return 2;
        }
    }
    flush();
    return 0;
}

void ScenarioRunner::executeLine(int index) {
    QString line = m_lines.at(index);
    if (line.endsWith(u'\r'))
        line.chop(1);
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
        return;
    std::vector<Word> words = splitLine(trimmed);
    const QString name = words.front().text;
    words.erase(words.begin());
    auto it = m_commands.constFind(name);
    if (it == m_commands.constEnd())
        throw LineError{QStringLiteral("unknown command")};
    if (m_ended) {
        const bool allowed = name == u"dump" && !words.empty() &&
                             (words[0].text == u"file" || words[0].text == u"settings" ||
                              words[0].text == u"registry");
        if (!allowed)
            return;
    }
    try {
        it.value()(words);
    } catch (const fakes::ProgramEnded&) {
        m_ended = true;
        m_modalForms.clear();
    }
    if (!m_ended)
        settleBrowser();
    flush();
}

} // namespace scenario
