#include "tools/scenario/Commands.h"

namespace scenario {

// The notices: printing them as they are shown, and their action as the user chooses it.
void registerNoticeCommands(ScenarioRunner& runner) {
    runner.addCommand("notice", [&runner](const auto& a) {
        need(a, 1);
        fakes::FakeNotifier& notifier = runner.fake().notifier;
        if (a[0].text == u"listen") {
            notifier.listening = true;
        } else if (a[0].text == u"action") {
            need(a, 2);
            const auto id = quint32(toInt(a[1]));
            if (!notifier.invoke(id))
                runner.print(QStringLiteral("notice %1: no action").arg(id));
        } else {
            throw LineError{QStringLiteral("listen or action")};
        }
    });
}

} // namespace scenario
