#include "tools/scenario/Commands.h"

namespace scenario {

// Commands for the keyword editing, saving, start-with-the-session and About box scenarios.
void registerEditingCommands(ScenarioRunner& runner) {
    // `program missing NAME`: starting that program (or opening an address, for "xdg-open")
    // fails from now on.
    runner.addCommand("program", [&runner](const auto& a) {
        need(a, 2);
        if (a[0].text != u"missing")
            throw LineError{QStringLiteral("program missing NAME")};
        runner.fake().processes.missingPrograms.append(a[1].text);
    });
    // `activate`: the main window becomes the program's active window again.
    runner.addCommand("activate", [&runner](const auto&) { runner.program().activate(); });
    // `caption CONTROL`: the title of the window that holds the control.
    runner.addCommand("caption", [&runner](const auto& a) {
        need(a, 1);
        const controls::Form* form = runner.control(a[0].text)->form();
        runner.print(
            QStringLiteral("%1 caption %2").arg(form->name(), fakes::quote(form->caption())));
    });
}

} // namespace scenario
