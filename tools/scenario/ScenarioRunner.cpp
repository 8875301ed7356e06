#include "ScenarioRunner.h"

#include "app/PasswordLock.h"
#include "app/StartUp.h"
#include "app/TaskBarIcon.h"
#include "platform/ModalForm.h"
#include "tools/scenario/Extensions.h"

#include <QRegularExpression>

namespace scenario {

using platform::fake::quote;

namespace {

QString bytesQuoted(const QByteArray& bytes) {
    QString out = QStringLiteral("\"");
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        switch (b) {
        case '\r':
            out += QStringLiteral("\\r");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        default:
            if (b < 0x20 || b >= 0x7F)
                out += QStringLiteral("\\x%1")
                           .arg(b, 2, 16, QChar(u'0'))
                           .toUpper()
                           .replace(QStringLiteral("\\X"), QStringLiteral("\\x"));
            else
                out += QChar(b);
        }
    }
    out += u'"';
    return out;
}

} // namespace

int toInt(const Word& w) {
    bool ok = false;
    const int n = w.text.toInt(&ok);
    if (!ok)
        throw LineError{QStringLiteral("not a number: ") + w.text};
    return n;
}

void need(const std::vector<Word>& args, std::size_t count) {
    if (args.size() < count)
        throw LineError{QStringLiteral("missing arguments")};
}

std::vector<Word> ScenarioRunner::split(const QString& line) {
    std::vector<Word> words;
    const qsizetype n = line.size();
    qsizetype i = 0;
    auto parseQuoted = [&](Word& w) {
        ++i; // opening quote
        QByteArray bytes;
        for (;;) {
            if (i >= n)
                throw LineError{QStringLiteral("unterminated string")};
            const QChar c = line.at(i);
            if (c == u'"') {
                ++i;
                break;
            }
            if (c != u'\\') {
                bytes += QString(c).toUtf8();
                ++i;
                continue;
            }
            if (i + 1 >= n)
                throw LineError{QStringLiteral("bad escape")};
            const QChar e = line.at(i + 1);
            i += 2;
            switch (e.unicode()) {
            case u'r':
                bytes += '\r';
                break;
            case u'n':
                bytes += '\n';
                break;
            case u't':
                bytes += '\t';
                break;
            case u'"':
                bytes += '"';
                break;
            case u'\\':
                bytes += '\\';
                break;
            case u'x': {
                bool ok = false;
                const int v = line.mid(i, 2).toInt(&ok, 16);
                if (!ok || i + 2 > n)
                    throw LineError{QStringLiteral("bad \\x escape")};
                bytes += char(v);
                i += 2;
                break;
            }
            case u'u': {
                const qsizetype close = line.indexOf(u'}', i);
                if (i >= n || line.at(i) != u'{' || close < 0)
                    throw LineError{QStringLiteral("bad \\u escape")};
                bool ok = false;
                const uint cp = line.mid(i + 1, close - i - 1).toUInt(&ok, 16);
                if (!ok)
                    throw LineError{QStringLiteral("bad \\u escape")};
                const char32_t ch = cp;
                bytes += QString::fromUcs4(&ch, 1).toUtf8();
                i = close + 1;
                break;
            }
            default:
                throw LineError{QStringLiteral("bad escape")};
            }
        }
        w.bytes += bytes;
        w.text = QString::fromUtf8(w.bytes);
    };
    while (i < n) {
        while (i < n && line.at(i).isSpace())
            ++i;
        if (i >= n)
            break;
        Word w;
        if (line.at(i) == u'"') {
            w.quoted = true;
            parseQuoted(w);
        } else {
            const qsizetype start = i;
            while (i < n && !line.at(i).isSpace() && line.at(i) != u'"')
                ++i;
            QString plain = line.mid(start, i - start);
            const qsizetype eq = plain.indexOf(u'=');
            static const QRegularExpression keyPattern(QStringLiteral("^[A-Za-z][A-Za-z0-9_-]*$"));
            if (eq > 0 && keyPattern.match(plain.left(eq)).hasMatch()) {
                w.key = plain.left(eq);
                plain = plain.mid(eq + 1);
            }
            w.bytes = plain.toUtf8();
            w.text = plain;
            if (i < n && line.at(i) == u'"') {
                if (!w.key.isEmpty() && plain.isEmpty()) {
                    w.quoted = true;
                    parseQuoted(w);
                } else {
                    throw LineError{QStringLiteral("unexpected quote")};
                }
            }
        }
        words.push_back(std::move(w));
    }
    return words;
}

ScenarioRunner::ScenarioRunner(QTextStream& out) : m_out(out) {
    m_fake.dialogs.modalDriver = [this](platform::ModalForm& modal) {
        m_modalForms.push_back(&modal.form());
        flush();
        while (!modal.closed() && m_next < m_lines.size() && !m_ended)
            executeLine(m_next++);
        m_modalForms.pop_back();
    };
    registerCommands();
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

app::FrmMain& ScenarioRunner::form() const {
    if (!m_form)
        throw LineError{QStringLiteral("the program is not started")};
    return *m_form;
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
    std::vector<Word> words = split(trimmed);
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
    } catch (const platform::fake::ProgramEnded&) {
        m_ended = true;
        m_modalForms.clear();
    }
    if (!m_ended)
        settleBrowser();
    flush();
}

void ScenarioRunner::dumpControl(const controls::Control& c) {
    using K = controls::Control::Kind;
    const QString state = c.enabled() ? QStringLiteral("enabled") : QStringLiteral("disabled");
    switch (c.kind()) {
    case K::ListView: {
        const auto& list = static_cast<const controls::ListView&>(c);
        print(QStringLiteral("%1: %2 rows").arg(c.name()).arg(list.rowCount()));
        const int columns = int(list.columns().size());
        for (int r = 0; r < list.rowCount(); ++r) {
            const auto& row = list.row(r);
            QString text = (row.selected ? QStringLiteral("* ") : QStringLiteral("  ")) +
                           QString::number(r + 1);
            const int cells = std::max<int>(columns, int(row.cells.size()));
            for (int k = 0; k < cells; ++k)
                text += u' ' + quote(row.cells.value(k));
            print(text);
        }
        break;
    }
    case K::ListBox: {
        const auto& list = static_cast<const controls::ListBox&>(c);
        print(QStringLiteral("%1: %2 items").arg(c.name()).arg(list.count()));
        for (int i = 0; i < list.count(); ++i)
            print((list.isSelected(i) ? QStringLiteral("* ") : QStringLiteral("  ")) +
                  QString::number(i + 1) + u' ' + quote(list.item(i)));
        break;
    }
    case K::CheckBox:
        print(QStringLiteral("%1 = %2 %3 %4")
                  .arg(c.name())
                  .arg(static_cast<const controls::CheckBox&>(c).value())
                  .arg(state, quote(c.caption())));
        break;
    case K::TextBox:
        print(QStringLiteral("%1 = %2 %3")
                  .arg(c.name(), quote(static_cast<const controls::TextBox&>(c).text()), state));
        break;
    case K::ComboBox:
        print(QStringLiteral("%1 = %2 %3")
                  .arg(c.name(), quote(static_cast<const controls::ComboBox&>(c).currentText()),
                       state));
        break;
    case K::Label:
        print(QStringLiteral("%1 = %2 %3").arg(c.name(), quote(c.caption()), state));
        break;
    case K::FolderList: {
        const auto& d = static_cast<const controls::FolderList&>(c);
        QString text = QStringLiteral("%1 = %2 %3").arg(c.name(), quote(d.path()), state);
        for (const QString& folder : d.folders())
            text += u' ' + quote(folder);
        print(text);
        break;
    }
    case K::DriveList:
        print(QStringLiteral("%1 = %2 %3")
                  .arg(c.name(), quote(static_cast<const controls::DriveList&>(c).currentDrive()),
                       state));
        break;
    case K::Timer: {
        const auto& t = static_cast<const controls::Timer&>(c);
        print(QStringLiteral("%1 %2 %3")
                  .arg(c.name(), t.enabled() ? QStringLiteral("on") : QStringLiteral("off"))
                  .arg(t.interval()));
        break;
    }
    case K::StatusBar:
        print(QStringLiteral("%1 = %2").arg(c.name(), quote(c.caption())));
        break;
    case K::TabControl: {
        const auto& tabs = static_cast<const controls::TabControl&>(c);
        QStringList disabled;
        for (int i = 0; i < tabs.count(); ++i)
            if (!tabs.tabEnabled(i))
                disabled.append(QString::number(i));
        print(QStringLiteral("%1 = %2 disabled-tabs %3")
                  .arg(c.name())
                  .arg(tabs.current())
                  .arg(disabled.isEmpty() ? QStringLiteral("none") : disabled.join(u',')));
        break;
    }
    default:
        print(QStringLiteral("%1 %2 %3").arg(c.name(), state, quote(c.caption())));
        break;
    }
}

void ScenarioRunner::registerCommands() {
    using platform::Key;
    registerSettingsCommands(*this);
    registerWatchCommands(*this);
    registerEditingCommands(*this);
    registerCookieCommands(*this);
    registerAntiSpyCommands(*this);

    // --- Setting up the world -------------------------------------------------------------
    addCommand("file", [this](const auto& a) {
        need(a, 2);
        m_fake.files.setFile(programPath(a[0].text), a[1].bytes);
    });
    addCommand("attr", [this](const auto& a) {
        need(a, 2);
        const QString path = programPath(a[0].text);
        if (!m_fake.files.attributes(path).exists && !m_fake.files.attributes(path).symlink)
            throw LineError{QStringLiteral("no such file")};
        if (a[1].text == u"readonly")
            m_fake.files.setReadOnly(path, true);
        else if (a[1].text == u"hidden")
            m_fake.files.setHidden(path, true);
        else if (a[1].text == u"normal") {
            m_fake.files.setReadOnly(path, false);
            m_fake.files.setHidden(path, false);
            m_fake.files.setUnreadable(path, false);
        } else if (a[1].text == u"unreadable")
            m_fake.files.setUnreadable(path, true);
        else
            throw LineError{QStringLiteral("unknown attribute")};
    });
    addCommand("rm", [this](const auto& a) {
        need(a, 1);
        const QString path = programPath(a[0].text);
        m_fake.files.setReadOnly(path, false);
        m_fake.files.remove(path);
    });
    addCommand("mkdir", [this](const auto& a) {
        need(a, 1);
        m_fake.files.makeFolder(programPath(a[0].text));
    });
    addCommand("link", [this](const auto& a) {
        need(a, 2);
        m_fake.files.setSymlink(programPath(a[0].text), a[1].text);
    });
    addCommand("setting", [this](const auto& a) {
        need(a, 3);
        m_fake.settings.setValue(QStringLiteral("Tavrel"), a[0].text, a[1].text, a[2].text);
    });
    addCommand("regkey", [this](const auto& a) {
        need(a, 1);
        if (!m_fake.registry.createKey(a[0].text))
            throw LineError{QStringLiteral("unknown root key")};
    });
    addCommand("regval", [this](const auto& a) {
        need(a, 3);
        bool ok = false;
        if (!a[2].quoted) {
            const uint n = a[2].text.toUInt(&ok);
            if (ok)
                ok = m_fake.registry.setNumber(a[0].text, a[1].text, n);
            else
                throw LineError{QStringLiteral("value must be a quoted text or a number")};
        } else {
            ok = m_fake.registry.setText(a[0].text, a[1].text, a[2].text);
        }
        if (!ok)
            throw LineError{QStringLiteral("unknown root key")};
    });
    addCommand("clock", [this](const auto& a) {
        need(a, 1);
        const QTime t = QTime::fromString(a[0].text, QStringLiteral("HH:mm:ss"));
        if (!t.isValid())
            throw LineError{QStringLiteral("bad time")};
        const QDateTime now(QDate(2026, 1, 1), t);
        m_fake.clock.set(now);
        m_fake.files.setNow(now);
    });
    addCommand("answer", [this](const auto& a) {
        need(a, 2);
        const QString kind = a[0].text;
        if (kind == u"input") {
            if (!a[1].quoted && a[1].text == u"cancel")
                m_fake.dialogs.inputAnswers.push_back(std::nullopt);
            else
                m_fake.dialogs.inputAnswers.push_back(a[1].text);
        } else if (kind == u"message") {
            const QString b = a[1].text;
            if (b == u"yes")
                m_fake.dialogs.messageAnswers.push_back(platform::MessageAnswer::Yes);
            else if (b == u"no")
                m_fake.dialogs.messageAnswers.push_back(platform::MessageAnswer::No);
            else if (b == u"ok")
                m_fake.dialogs.messageAnswers.push_back(platform::MessageAnswer::Ok);
            else
                throw LineError{QStringLiteral("unknown answer")};
        } else if (kind == u"file") {
            if (!a[1].quoted && a[1].text == u"cancel")
                m_fake.dialogs.fileAnswers.push_back(std::nullopt);
            else
                m_fake.dialogs.fileAnswers.push_back(a[1].text);
        } else {
            throw LineError{QStringLiteral("unknown answer kind")};
        }
    });
    addCommand("window", [this](const auto& a) {
        need(a, 2);
        const QString verb = a[0].text;
        const auto handle = platform::WindowHandle(toInt(a[1]));
        auto apply = [&](platform::fake::FakeBrowserWindow* w) {
            for (std::size_t i = 2; i < a.size(); ++i) {
                const Word& o = a[i];
                if (o.key == u"title")
                    w->title = o.text;
                else if (o.key == u"url")
                    w->url = o.text;
                else if (o.key == u"width")
                    w->w = toInt(o);
                else if (o.key == u"height")
                    w->h = toInt(o);
                else if (o.key == u"opener")
                    continue;
                else if (o.key.isEmpty() && o.text == u"nodoc")
                    w->m_hasDocument = false;
                else if (o.key == u"unreadable")
                    w->unreadable.insert(o.text);
                else if (o.key == u"forward")
                    continue; // history of the page: the program never navigates a window
                else
                    throw LineError{QStringLiteral("unknown window option ") + o.key + o.text};
            }
        };
        if (verb == u"open") {
            if (m_fake.browser.window(handle))
                throw LineError{QStringLiteral("a window already has that handle")};
            int opener = -1;
            for (const Word& o : a)
                if (o.key == u"opener")
                    opener = toInt(o);
            // The window's properties are known before anybody hears of it.
            platform::fake::FakeBrowserWindow staged(handle);
            apply(&staged);
            auto copy = [&](platform::fake::FakeBrowserWindow* w) {
                w->title = staged.title;
                w->url = staged.url;
                w->w = staged.w;
                w->h = staged.h;
                w->m_hasDocument = staged.m_hasDocument;
                w->unreadable = staged.unreadable;
            };
            m_fake.browser.prepareNext(copy);
            if (opener >= 0) {
                platform::fake::FakeBrowserWindow* created = nullptr;
                const bool opened =
                    m_fake.browser.openFrom(platform::WindowHandle(opener), handle, &created);
                print(QStringLiteral("newwindow %1: %2")
                          .arg(handle)
                          .arg(opened ? QStringLiteral("opened") : QStringLiteral("refused")));
            } else {
                m_fake.browser.open(handle);
            }
        } else if (verb == u"set") {
            auto* w = m_fake.browser.window(handle);
            if (!w)
                throw LineError{QStringLiteral("no such window")};
            apply(w);
        } else if (verb == u"close") {
            m_fake.browser.close(handle);
        } else if (verb == u"noclose") {
            auto* w = m_fake.browser.window(handle);
            if (!w)
                throw LineError{QStringLiteral("no such window")};
            w->closesWhenAsked = false;
        } else {
            throw LineError{QStringLiteral("unknown window command")};
        }
    });
    addCommand("page", [this](const auto& a) {
        need(a, 2);
        auto* w = m_fake.browser.window(platform::WindowHandle(toInt(a[1])));
        if (!w)
            throw LineError{QStringLiteral("no such window")};
        bool right = false;
        for (const Word& o : a)
            if (o.key == u"button")
                right = o.text == u"right";
        const QString event = a[0].text;
        if (event == u"mousedown") {
            if (!right)
                m_fake.browser.setKey(Key::LButton, true);
            emit w->documentMouseDown();
        } else if (event == u"mouseup") {
            emit w->documentMouseUp();
            m_fake.browser.setKey(Key::LButton, false);
        } else if (event == u"contextmenu") {
            bool allow = true;
            emit w->documentContextMenu(allow);
            if (!allow)
                print(QStringLiteral("contextmenu %1: suppressed").arg(w->hwnd()));
        } else {
            throw LineError{QStringLiteral("unknown page event")};
        }
    });
    addCommand("key", [this](const auto& a) {
        need(a, 2);
        static const QHash<QString, Key> keys{{QStringLiteral("ctrl"), Key::Control},
                                              {QStringLiteral("shift"), Key::Shift},
                                              {QStringLiteral("alt"), Key::Alt},
                                              {QStringLiteral("lbutton"), Key::LButton}};
        if (!keys.contains(a[1].text) || (a[0].text != u"down" && a[0].text != u"up"))
            throw LineError{QStringLiteral("unknown key")};
        m_fake.browser.setKey(keys.value(a[1].text), a[0].text == u"down");
    });

    // --- Driving the program --------------------------------------------------------------
    addCommand("start", [this](const auto& a) {
        if (!a.empty() && a[0].text == u"second" && m_form) {
            app::startUp(m_fake.platform()); // warns and refuses: the instance is held
            return;
        }
        if (m_form)
            throw LineError{QStringLiteral("already started")};
        m_form = app::startUp(m_fake.platform());
    });
    addCommand("tick", [this](const auto& a) {
        need(a, 1);
        auto& timer = controlAs<controls::Timer>(a[0].text);
        const int count = a.size() > 1 ? toInt(a[1]) : 1;
        for (int i = 0; i < count; ++i) {
            timer.tick();
            flush();
            settleBrowser();
        }
    });
    addCommand("click", [this](const auto& a) {
        need(a, 1);
        controls::Control* c = control(a[0].text);
        if (auto* b = qobject_cast<controls::Button*>(c))
            b->click();
        else if (auto* l = qobject_cast<controls::ListView*>(c))
            l->click();
        else if (auto* l = qobject_cast<controls::ListBox*>(c))
            l->click();
        else if (auto* ck = qobject_cast<controls::CheckBox*>(c))
            ck->userSet(ck->value() == 0 ? 1 : 0);
        else
            throw LineError{QStringLiteral("cannot click that")};
    });
    addCommand("dblclick", [this](const auto& a) {
        need(a, 1);
        controls::Control* c = control(a[0].text);
        if (auto* l = qobject_cast<controls::ListView*>(c))
            l->dblClick();
        else if (auto* l = qobject_cast<controls::ListBox*>(c))
            l->dblClick();
        else
            throw LineError{QStringLiteral("cannot double-click that")};
    });
    addCommand("check", [this](const auto& a) {
        need(a, 2);
        controlAs<controls::CheckBox>(a[0].text).userSet(toInt(a[1]));
    });
    addCommand("type", [this](const auto& a) {
        need(a, 2);
        controlAs<controls::TextBox>(a[0].text).type(a[1].text);
    });
    addCommand("set", [this](const auto& a) {
        need(a, 2);
        controls::Control* c = control(a[0].text);
        if (auto* t = qobject_cast<controls::TextBox*>(c))
            t->setText(a[1].text);
        else if (auto* d = qobject_cast<controls::FolderList*>(c))
            d->setPath(a[1].text);
        else if (auto* v = qobject_cast<controls::DriveList*>(c); v && v->indexOf(a[1].text) >= 0)
            v->choose(v->indexOf(a[1].text));
        else
            throw LineError{QStringLiteral("cannot set that")};
    });
    addCommand("select", [this](const auto& a) {
        need(a, 2);
        controls::Control* c = control(a[0].text);
        std::vector<int> rows;
        if (!(a[1].text == u"none" && !a[1].quoted))
            for (std::size_t i = 1; i < a.size(); ++i)
                rows.push_back(toInt(a[i]) - 1);
        if (auto* l = qobject_cast<controls::ListView*>(c)) {
            l->selectAll(false);
            for (int r : rows) {
                if (r < 0 || r >= l->rowCount())
                    throw LineError{QStringLiteral("no such row")};
                l->setSelected(r, true);
            }
        } else if (auto* l = qobject_cast<controls::ListBox*>(c)) {
            for (int i = 0; i < l->count(); ++i)
                l->setSelected(i, false);
            for (int r : rows) {
                if (r < 0 || r >= l->count())
                    throw LineError{QStringLiteral("no such item")};
                l->setSelected(r, true);
            }
        } else {
            throw LineError{QStringLiteral("cannot select in that")};
        }
    });
    addCommand("tab", [this](const auto& a) {
        need(a, 1);
        form().tabs.userSelect(toInt(a[0]));
    });
    addCommand("focus-out", [this](const auto& a) {
        need(a, 1);
        control(a[0].text)->loseFocus();
    });
    addCommand("close", [this](const auto&) {
        if (!m_modalForms.empty()) {
            // The open modal form is asked to close.
            controls::Form* top = m_modalForms.back();
            (void)top;
            throw LineError{QStringLiteral("close of a modal form: use its buttons")};
        }
        form().closeRequest();
    });
    addCommand("tray", [this](const auto& a) {
        need(a, 1);
        if (a[0].text == u"left")
            form().taskBarIcon().activation(1);
        else if (a[0].text == u"right") {
            if (form().taskBarIcon().contextNotification(2))
                print(trayMenuLine(form()));
        } else
            throw LineError{QStringLiteral("left or right")};
    });

    // --- Observing ------------------------------------------------------------------------
    addCommand("dump", [this](const auto& a) {
        need(a, 1);
        const QString what = a[0].text;
        if (what == u"totals") {
            const auto& t = form().gClosureTotals;
            print(QStringLiteral("totals %1 %2 %3 %4").arg(t[0]).arg(t[1]).arg(t[2]).arg(t[3]));
        } else if (what == u"file") {
            need(a, 2);
            const QString path = programPath(a[1].text);
            const auto bytes = m_fake.files.readAll(path);
            if (!bytes)
                print(QStringLiteral("file %1: missing").arg(a[1].text));
            else
                print(QStringLiteral("file %1: %2 bytes %3")
                          .arg(a[1].text)
                          .arg(bytes->size())
                          .arg(bytesQuoted(*bytes)));
        } else if (what == u"settings") {
            const auto& all = m_fake.settings.all();
            for (auto it = all.constBegin(); it != all.constEnd(); ++it)
                print(it.key() + QStringLiteral(" = ") + quote(it.value()));
        } else if (what == u"windows") {
            for (platform::BrowserWindow* w : m_fake.browser.windows()) {
                auto* fw = static_cast<platform::fake::FakeBrowserWindow*>(w);
                print(QStringLiteral("window %1 %2 %3 %4x%5")
                          .arg(fw->hwnd())
                          .arg(quote(fw->title), quote(fw->url))
                          .arg(fw->w)
                          .arg(fw->h));
            }
        } else if (what == u"registry") {
            need(a, 2);
            for (const QString& line : m_fake.registry.dump(a[1].text))
                print(line);
        } else if (what == u"state") {
            app::FrmMain& f = form();
            print(QStringLiteral("state %1 %2 %3")
                      .arg(f.visible() ? QStringLiteral("visible") : QStringLiteral("hidden"),
                           f.passwordLock().locked() ? QStringLiteral("locked")
                                                     : QStringLiteral("unlocked"),
                           quote(f.hideShowMenuItem.caption())));
        } else {
            dumpControl(*control(what));
        }
    });
}

} // namespace scenario
