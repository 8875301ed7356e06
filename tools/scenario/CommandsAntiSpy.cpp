#include "tools/scenario/Commands.h"

#include <memory>

namespace scenario {

void registerAntiSpyCommands(ScenarioRunner& runner) {
    // doevents N click CONTROL: at the Nth time from now that the program lets pending
    // events run, the user clicks CONTROL (for example Stop during a search).
    runner.addCommand("doevents", [&runner](const auto& a) {
        need(a, 3);
        const int n = toInt(a[0]);
        if (n < 1 || a[1].text != u"click")
            throw LineError{QStringLiteral("doevents N click CONTROL")};
        auto* button = &runner.controlAs<controls::Button>(a[2].text);
        auto& hook = runner.fake().processes.onProcessEvents;
        auto count = std::make_shared<int>(0);
        hook = [&runner, previous = hook, count, n, button] {
            if (previous)
                previous();
            if (++*count != n)
                return;
            runner.print(QStringLiteral("doevents %1: click %2").arg(n).arg(button->name()));
            button->click();
        };
    });
    // component register|unregister "CLASS": whether an outside component class can be
    // created.
    runner.addCommand("component", [&runner](const auto& a) {
        need(a, 2);
        QStringList& classes = runner.fake().system.registeredClasses;
        if (a[0].text == u"register") {
            if (!classes.contains(a[1].text))
                classes.append(a[1].text);
        } else if (a[0].text == u"unregister") {
            classes.removeAll(a[1].text);
        } else {
            throw LineError{QStringLiteral("register or unregister")};
        }
    });
}

} // namespace scenario
