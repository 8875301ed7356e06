#include "tools/scenario/Commands.h"

namespace scenario {

using fakes::quote;
using platform::BrowserStatus;

namespace {

BrowserStatus::Reason reasonNamed(const QString& name) {
    using R = BrowserStatus::Reason;
    static const QHash<QString, R> reasons{
        {"none", R::None},
        {"notfound", R::NotFound},
        {"cannotstart", R::CannotStart},
        {"profileinuse", R::ProfileInUse},
        {"refused", R::DebuggingRefused},
        {"noanswer", R::NoAnswer},
        {"closed", R::Closed},
        {"crashed", R::Crashed},
        {"keepscrashing", R::KeepsCrashing},
        {"unreachable", R::Unreachable},
        {"lost", R::ConnectionLost},
        {"badsetting", R::BadSetting},
        {"changesprofile", R::ChangesProfile},
        {"sessiontaken", R::SessionTaken},
    };
    const auto it = reasons.constFind(name);
    if (it == reasons.constEnd())
        throw LineError{QStringLiteral("unknown reason ") + name};
    return *it;
}

} // namespace

// `browser ...`: the browser the fake shell offers and what it says about itself, and what
// the program chose.
void registerBrowserCommands(ScenarioRunner& runner) {
    runner.addCommand("browser", [&runner](const auto& a) {
        need(a, 1);
        fakes::FakeBrowserShell& shell = runner.fake().browser;
        const QString what = a[0].text;
        if (what == u"opens") {
            // Whether the watched browser can open an address asked for (no browser running:
            // it cannot, and the user's default browser is asked instead).
            need(a, 2);
            shell.opensUrls = toInt(a[1]) != 0;
        } else if (what == u"found") {
            // browser found [ID "Name"]... [default=ID]
            QList<platform::BrowserProduct> found;
            QString byDefault;
            for (std::size_t i = 1; i < a.size(); ++i) {
                if (a[i].key == u"default") {
                    byDefault = a[i].text;
                    continue;
                }
                if (i + 1 >= a.size())
                    throw LineError{QStringLiteral("a browser needs an id and a name")};
                found.append({a[i].text, a[i + 1].text});
                ++i;
            }
            if (byDefault.isEmpty() && !found.isEmpty())
                byDefault = found.first().id;
            shell.setFound(found, byDefault);
        } else if (what == u"fixed") {
            platform::BrowserOverrides o;
            for (std::size_t i = 1; i < a.size(); ++i) {
                if (a[i].text == u"browser")
                    o.browser = true;
                else if (a[i].text == u"profile")
                    o.profile = true;
                else if (a[i].text != u"none")
                    throw LineError{QStringLiteral("browser, profile or none")};
            }
            shell.setOverrides(o);
        } else if (what == u"status") {
            // browser status watching|starting|stopped [reason=R] [name="N"] [detail="D"] [own=0|1]
            //                [blocks=0|1]
            need(a, 2);
            BrowserStatus s = shell.status();
            s.reason = BrowserStatus::Reason::None;
            s.detail.clear();
            if (a[1].text == u"watching")
                s.state = BrowserStatus::State::Watching;
            else if (a[1].text == u"starting")
                s.state = BrowserStatus::State::Starting;
            else if (a[1].text == u"stopped")
                s.state = BrowserStatus::State::Stopped;
            else
                throw LineError{QStringLiteral("watching, starting or stopped")};
            for (std::size_t i = 2; i < a.size(); ++i) {
                const Word& o = a[i];
                if (o.key == u"reason")
                    s.reason = reasonNamed(o.text);
                else if (o.key == u"name")
                    s.browser = o.text;
                else if (o.key == u"detail")
                    s.detail = o.text;
                else if (o.key == u"own")
                    s.ownProfile = toInt(o) == 1;
                else if (o.key == u"blocks")
                    s.browserBlocksPopups = toInt(o) == 1;
                else
                    throw LineError{QStringLiteral("unknown status option ") + o.key};
            }
            shell.setStatus(s);
        } else if (what == u"show") {
            runner.print(QStringLiteral("browser choice=%1 own=%2 wakes=%3")
                             .arg(quote(shell.chosen()))
                             .arg(shell.chosenOwnProfile() ? 1 : 0)
                             .arg(shell.wakes()));
        } else if (what == u"list") {
            const auto& box =
                runner.mainControlAs<controls::ComboBox>(QStringLiteral("cboBrowser"));
            runner.print(
                QStringLiteral("cboBrowser: %1 items %2")
                    .arg(box.items().size())
                    .arg(box.enabled() ? QStringLiteral("enabled") : QStringLiteral("disabled")));
            for (int i = 0; i < box.items().size(); ++i)
                runner.print(
                    (i == box.currentIndex() ? QStringLiteral("* ") : QStringLiteral("  ")) +
                    QString::number(i + 1) + u' ' + quote(box.items().at(i)));
        } else if (what == u"tooltip") {
            runner.print(QStringLiteral("tooltip ") +
                         quote(runner.program().taskBarIcon().toolTip()));
        } else {
            throw LineError{QStringLiteral("unknown browser command ") + what};
        }
    });
}

} // namespace scenario
