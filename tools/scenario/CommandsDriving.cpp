#include "tools/scenario/Commands.h"

#include "app/TaskBarIcon.h"

namespace scenario {

namespace {

using fakes::quote;

// The tray menu as it opens: `menu Mnu_Fichier: "caption" "caption"(disabled) ...`.
QString trayMenuLine(ScenarioRunner& runner) {
    QString line = QStringLiteral("menu Mnu_Fichier:");
    for (const controls::MenuItem* item : runner.program().taskBarIcon().menuItems()) {
        if (item->separator() || !item->visible())
            continue;
        line += u' ' + quote(item->caption());
        if (!item->enabled())
            line += QStringLiteral("(disabled)");
    }
    return line;
}

} // namespace

// Commands that drive the program as its user would: starting it, timers, clicks, typing,
// choices in lists, tabs, closing, the notification icon.
void registerDrivingCommands(ScenarioRunner& runner) {
    runner.addCommand(
        "start", [&runner](const auto& a) { runner.start(!a.empty() && a[0].text == u"second"); });
    runner.addCommand("tick", [&runner](const auto& a) {
        need(a, 1);
        auto& timer = runner.controlAs<controls::Timer>(a[0].text);
        const int count = a.size() > 1 ? toInt(a[1]) : 1;
        for (int i = 0; i < count; ++i) {
            timer.tick();
            runner.flush();
            runner.settleBrowser();
        }
    });
    runner.addCommand("click", [&runner](const auto& a) {
        need(a, 1);
        controls::Control* c = runner.control(a[0].text);
        if (auto* b = qobject_cast<controls::Button*>(c))
            b->click();
        else if (auto* view = qobject_cast<controls::ListView*>(c))
            view->click();
        else if (auto* box = qobject_cast<controls::ListBox*>(c))
            box->click();
        else if (auto* ck = qobject_cast<controls::CheckBox*>(c))
            ck->userSet(ck->value() == 0 ? 1 : 0);
        else
            throw LineError{QStringLiteral("cannot click that")};
    });
    runner.addCommand("dblclick", [&runner](const auto& a) {
        need(a, 1);
        controls::Control* c = runner.control(a[0].text);
        if (auto* view = qobject_cast<controls::ListView*>(c))
            view->dblClick();
        else if (auto* box = qobject_cast<controls::ListBox*>(c))
            box->dblClick();
        else
            throw LineError{QStringLiteral("cannot double-click that")};
    });
    runner.addCommand("check", [&runner](const auto& a) {
        need(a, 2);
        runner.controlAs<controls::CheckBox>(a[0].text).userSet(toInt(a[1]));
    });
    runner.addCommand("type", [&runner](const auto& a) {
        need(a, 2);
        runner.controlAs<controls::TextBox>(a[0].text).type(a[1].text);
    });
    runner.addCommand("set", [&runner](const auto& a) {
        need(a, 2);
        controls::Control* c = runner.control(a[0].text);
        if (auto* t = qobject_cast<controls::TextBox*>(c))
            t->setText(a[1].text);
        else if (auto* d = qobject_cast<controls::FolderList*>(c))
            d->setPath(a[1].text);
        else if (auto* v = qobject_cast<controls::DriveList*>(c); v && v->indexOf(a[1].text) >= 0)
            v->choose(v->indexOf(a[1].text));
        else
            throw LineError{QStringLiteral("cannot set that")};
    });
    runner.addCommand("select", [&runner](const auto& a) {
        need(a, 2);
        controls::Control* c = runner.control(a[0].text);
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
        } else if (auto* box = qobject_cast<controls::ListBox*>(c)) {
            for (int i = 0; i < box->count(); ++i)
                box->setSelected(i, false);
            for (int r : rows) {
                if (r < 0 || r >= box->count())
                    throw LineError{QStringLiteral("no such item")};
                box->setSelected(r, true);
            }
        } else if (auto* combo = qobject_cast<controls::ComboBox*>(c)) {
            // The user picks one entry of a drop-down list.
            if (rows.size() != 1 || rows.front() < 0 || rows.front() >= combo->items().size())
                throw LineError{QStringLiteral("no such entry")};
            combo->userSelect(rows.front());
        } else {
            throw LineError{QStringLiteral("cannot select in that")};
        }
    });
    runner.addCommand("tab", [&runner](const auto& a) {
        need(a, 1);
        runner.mainControlAs<controls::TabControl>(QStringLiteral("SSTab1"))
            .userSelect(toInt(a[0]));
    });
    runner.addCommand("focus-out", [&runner](const auto& a) {
        need(a, 1);
        runner.control(a[0].text)->loseFocus();
    });
    runner.addCommand("close", [&runner](const auto&) {
        if (runner.modalOpen())
            throw LineError{QStringLiteral("close of a modal form: use its buttons")};
        runner.program().closeRequest();
    });
    runner.addCommand("tray", [&runner](const auto& a) {
        need(a, 1);
        if (a[0].text == u"left")
            runner.program().taskBarIcon().activation(1);
        else if (a[0].text == u"right") {
            if (runner.program().taskBarIcon().contextNotification(2))
                runner.print(trayMenuLine(runner));
        } else
            throw LineError{QStringLiteral("left or right")};
    });
}

} // namespace scenario
