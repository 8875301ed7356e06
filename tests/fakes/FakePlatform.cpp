#include "fakes/FakePlatform.h"

#include "controls/Control.h"
#include "platform/ModalForm.h"

namespace fakes {

using namespace platform;

QString quote(const QString& text) {
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        case u'"':
            out += QStringLiteral("\\\"");
            break;
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                out += QStringLiteral("\\x%1")
                           .arg(c.unicode(), 2, 16, QChar(u'0'))
                           .toUpper()
                           .replace(QStringLiteral("\\X"), QStringLiteral("\\x"));
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

std::optional<QString> FakeSettings::value(const QString&, const QString& section,
                                           const QString& key) const {
    auto it = m_values.constFind(section + u'/' + key);
    if (it == m_values.constEnd())
        return std::nullopt;
    return it.value();
}

void FakeSettings::setValue(const QString&, const QString& section, const QString& key,
                            const QString& value) {
    m_values.insert(section + u'/' + key, value);
}

namespace {
QString iconName(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Critical:
        return QStringLiteral("critical");
    case MessageIcon::Question:
        return QStringLiteral("question");
    case MessageIcon::Warning:
        return QStringLiteral("warning");
    case MessageIcon::Information:
        return QStringLiteral("information");
    case MessageIcon::None:
        break;
    }
    return QStringLiteral("none");
}
} // namespace

MessageAnswer FakeDialogs::message(const QString& text, MessageButtons buttons, MessageIcon icon,
                                   const QString& title) {
    const QString shownTitle = title.isEmpty() ? QStringLiteral("Tavrel") : title;
    QString line =
        QStringLiteral("message %1 %2: %3").arg(iconName(icon), quote(shownTitle), quote(text));
    MessageAnswer answer = MessageAnswer::Ok;
    if (buttons == MessageButtons::YesNo) {
        // An unanswered question is answered No, the answer that changes nothing.
        answer = MessageAnswer::No;
        while (!messageAnswers.empty()) {
            const MessageAnswer queued = messageAnswers.front();
            messageAnswers.pop_front();
            if (queued != MessageAnswer::Ok) {
                answer = queued;
                break;
            }
        }
        line += answer == MessageAnswer::Yes ? QStringLiteral(" -> yes") : QStringLiteral(" -> no");
    } else if (!messageAnswers.empty() && messageAnswers.front() == MessageAnswer::Ok) {
        messageAnswers.pop_front();
    }
    m_t.line(line);
    return answer;
}

QString FakeDialogs::input(const QString& prompt, const QString& title,
                           const QString& defaultText) {
    std::optional<QString> answer;
    if (!inputAnswers.empty()) {
        answer = inputAnswers.front();
        inputAnswers.pop_front();
    }
    const QString shownTitle = title.isEmpty() ? QStringLiteral("Tavrel") : title;
    m_t.line(QStringLiteral("input %1: %2 default %3 -> %4")
                 .arg(quote(shownTitle), quote(prompt), quote(defaultText),
                      answer ? quote(*answer) : QStringLiteral("cancel")));
    return answer.value_or(QString());
}

std::optional<QString> FakeDialogs::openFile(const QString& title, const QString&, const QString&) {
    std::optional<QString> answer;
    if (!fileAnswers.empty()) {
        answer = fileAnswers.front();
        fileAnswers.pop_front();
    }
    m_t.line(QStringLiteral("filedialog %1 -> %2")
                 .arg(quote(title), answer ? quote(*answer) : QStringLiteral("cancel")));
    return answer;
}

std::optional<QString> FakeDialogs::saveFile(const QString& title, const QString& initialPath,
                                             const QString&) {
    std::optional<QString> answer;
    if (!fileAnswers.empty()) {
        answer = fileAnswers.front();
        fileAnswers.pop_front();
    }
    m_t.line(QStringLiteral("savedialog %1 %2 -> %3")
                 .arg(quote(title), quote(initialPath),
                      answer ? quote(*answer) : QStringLiteral("cancel")));
    return answer;
}

void FakeDialogs::runModal(ModalForm& form) {
    form.load();
    m_t.line(QStringLiteral("form ") + form.form().name());
    if (modalDriver)
        modalDriver(form);
    if (!form.closed())
        form.requestClose();
    m_t.line(QStringLiteral("form %1 closed").arg(form.form().name()));
}

void FakeNotifier::show(quint32 id, const QString& title, const QString& text,
                        const QString& action) {
    shown.push_back({id, title, text, action});
    if (!listening)
        return;
    QString line = QStringLiteral("notice %1 %2 %3").arg(id).arg(quote(title), quote(text));
    if (!action.isEmpty())
        line += QStringLiteral(" action ") + quote(action);
    m_t.line(line);
}

bool FakeNotifier::invoke(quint32 id) {
    for (auto it = shown.rbegin(); it != shown.rend(); ++it)
        if (it->id == id) {
            if (it->action.isEmpty())
                return false;
            emit actionInvoked(id);
            return true;
        }
    return false;
}

bool FakeSound::play(const QString& file) {
    if (!FileExists(m_files, file))
        return false;
    m_t.line(QStringLiteral("sound ") + quote(file));
    return true;
}

void FakeSound::playDefault() {
    m_t.line(QStringLiteral("sound default"));
}

bool FakeProcesses::start(const QString& program, const QStringList& arguments) {
    if (missingPrograms.contains(program))
        return false;
    QString line = QStringLiteral("process ") + quote(program);
    for (const QString& a : arguments)
        line += u' ' + quote(a);
    m_t.line(line);
    return true;
}

bool FakeProcesses::openUrl(const QString& url) {
    return start(QStringLiteral("xdg-open"), {url});
}

bool FakeProcesses::openInternetOptions() {
    m_t.line(QStringLiteral("internet options"));
    return true;
}

void FakeProcesses::processEvents() {
    if (onProcessEvents)
        onProcessEvents();
}

void FakeProcesses::endNow() {
    m_t.line(QStringLiteral("ended"));
    throw ProgramEnded{};
}

bool FakeInstance::claim() {
    if (m_claimed)
        return false;
    m_claimed = true;
    return true;
}

std::optional<QByteArray> FakeSystem::loadResource(int, const QString&) const {
    return std::nullopt;
}

long FakeSystem::selfRegister(const QString&) {
    return 0;
}

bool FakeSystem::createComponent(const QString& className) {
    return registeredClasses.contains(className);
}

FakePlatform::FakePlatform()
    : m_platform{browser,   files,    settings, dialogs, clock,   sound,
                 processes, instance, registry, system,  notifier} {}

} // namespace fakes
