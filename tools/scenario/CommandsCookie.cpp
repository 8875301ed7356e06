#include "tools/scenario/Commands.h"

#include "cookies/CookieDetails.h"

namespace scenario {

namespace {
const QString kShellFolders =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                   "Shell Folders");

// The key below a root key, as the registry calls take it: "HKEY_...\a\b" -> root and "a\b".
bool splitKeyPath(const QString& path, platform::HKEY* root, QString* subKey) {
    static const std::pair<const char*, platform::HKEY> roots[] = {
        {"HKEY_CLASSES_ROOT", platform::HKEY_CLASSES_ROOT},
        {"HKEY_CURRENT_USER", platform::HKEY_CURRENT_USER},
        {"HKEY_LOCAL_MACHINE", platform::HKEY_LOCAL_MACHINE}};
    const qsizetype slash = path.indexOf(u'\\');
    const QString head = slash < 0 ? path : path.left(slash);
    for (const auto& [name, key] : roots)
        if (head.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            *root = key;
            *subKey = slash < 0 ? QString() : path.mid(slash + 1);
            return true;
        }
    return false;
}

// A time of a cookie command: "yyyy-MM-dd HH:mm:ss", in the world's time zone.
QDateTime cookieTime(const Word& w) {
    const QDateTime t = QDateTime::fromString(w.text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!t.isValid())
        throw LineError{QStringLiteral("a time is written yyyy-MM-dd HH:mm:ss: ") + w.text};
    return t;
}

QString cookieLine(const platform::BrowserCookie& c) {
    QString line = QStringLiteral("  %1 %2 %3 %4")
                       .arg(fakes::quote(c.name), fakes::quote(c.value), fakes::quote(c.domain),
                            fakes::quote(c.path));
    if (c.secure)
        line += QStringLiteral(" secure");
    if (c.httpOnly)
        line += QStringLiteral(" httponly");
    if (c.expires)
        line += QStringLiteral(" expires=") +
                c.expires->toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!c.partition.isEmpty())
        line += QStringLiteral(" partition=") + fakes::quote(c.partition);
    return line;
}

// `cookie ...`: the cookies the fake browser keeps, and how it answers for them.
void cookieCommand(ScenarioRunner& runner, const std::vector<Word>& a) {
    need(a, 1);
    fakes::FakeBrowserShell& shell = runner.fake().browser;
    const QString what = a[0].text;
    if (what == u"set") {
        // cookie set NAME "VALUE" domain="D" [path="/"] [secure=1] [httponly=1] [expires=T]
        //            [created=T] [accessed=T] [partition="P"]
        need(a, 3);
        platform::BrowserCookie c;
        c.name = a[1].text;
        c.value = a[2].text;
        c.path = QStringLiteral("/");
        for (std::size_t i = 3; i < a.size(); ++i) {
            const Word& o = a[i];
            if (o.key == u"domain")
                c.domain = o.text;
            else if (o.key == u"path")
                c.path = o.text;
            else if (o.key == u"secure")
                c.secure = toInt(o) == 1;
            else if (o.key == u"httponly")
                c.httpOnly = toInt(o) == 1;
            else if (o.key == u"expires")
                c.expires = cookieTime(o);
            else if (o.key == u"created")
                c.created = cookieTime(o);
            else if (o.key == u"accessed")
                c.lastAccess = cookieTime(o);
            else if (o.key == u"partition")
                c.partition = o.text;
            else
                throw LineError{QStringLiteral("unknown cookie option ") + o.key};
        }
        if (c.domain.isEmpty())
            throw LineError{QStringLiteral("a cookie needs domain=")};
        c.size = c.name.size() + c.value.size();
        shell.setCookie(c);
    } else if (what == u"store") {
        need(a, 2);
        shell.setCookieStore(a[1].text == u"on");
    } else if (what == u"fail") {
        // cookie fail "error" | cookie fail none
        need(a, 2);
        shell.cookieFailure = a[1].quoted || a[1].text != u"none" ? a[1].text : QString();
    } else if (what == u"hold") {
        shell.holdCookieAnswers = true;
    } else if (what == u"release") {
        shell.holdCookieAnswers = false;
        const int n = shell.releaseCookieAnswers();
        runner.print(QStringLiteral("cookie answers %1").arg(n));
    } else if (what == u"list") {
        runner.print(QStringLiteral("browser cookies: %1").arg(shell.cookies().size()));
        for (const platform::BrowserCookie& c : shell.cookies())
            runner.print(cookieLine(c));
    } else {
        throw LineError{QStringLiteral("unknown cookie command ") + what};
    }
}
} // namespace

void registerCookieCommands(ScenarioRunner& runner) {
    // Like every real machine, the world names the browser's cookie folder; the folder holds
    // nothing until a scenario writes files there.
    runner.fake().registry.setText(kShellFolders, QStringLiteral("Cookies"),
                                   QStringLiteral("/prog/Cookies"));

    runner.addCommand("regdel", [&runner](const auto& a) {
        need(a, 2);
        platform::HKEY root = 0;
        QString subKey;
        if (!splitKeyPath(a[0].text, &root, &subKey))
            throw LineError{QStringLiteral("unknown root key")};
        auto& registry = runner.fake().registry;
        platform::HKEY key = 0;
        if (registry.openKey(root, subKey, platform::KEY_ALL_ACCESS, &key) !=
            platform::ERROR_SUCCESS)
            throw LineError{QStringLiteral("no such key")};
        const long result = registry.deleteValue(key, a[1].text);
        registry.closeKey(key);
        if (result != platform::ERROR_SUCCESS)
            throw LineError{QStringLiteral("no such value")};
    });
    // `regdeny PATH`: opening that key fails with "access denied" from now on.
    runner.addCommand("regdeny", [&runner](const auto& a) {
        need(a, 1);
        runner.fake().registry.deniedKeys.append(a[0].text);
    });

    runner.addCommand("cookie", [&runner](const auto& a) { cookieCommand(runner, a); });

    // The Escape key in a control: typed into a text box through its input rule; in the
    // other controls of the cookie details dialog it closes the dialog.
    runner.addCommand("escape", [&runner](const auto& a) {
        need(a, 1);
        controls::Control* c = runner.control(a[0].text);
        if (auto* box = qobject_cast<controls::TextBox*>(c)) {
            box->type(QString(QChar(27)));
            return;
        }
        if (auto* details = qobject_cast<cookies::CookieDetails*>(c->form())) {
            details->escapePressed();
            return;
        }
        throw LineError{QStringLiteral("Escape does nothing in ") + a[0].text};
    });
}

} // namespace scenario
