#include "tools/scenario/Extensions.h"

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
    runner.addCommand("activate", [&runner](const auto&) { runner.form().Form_Activate(); });
    // `caption CONTROL`: the title of the window that holds the control.
    runner.addCommand("caption", [&runner](const auto& a) {
        need(a, 1);
        const controls::Form* form = runner.control(a[0].text)->form();
        runner.print(
            QStringLiteral("%1 caption %2").arg(form->name(), fakes::quote(form->caption())));
    });
    // `regdeny PATH`: opening that key fails with "access denied" from now on.
    runner.addCommand("regdeny", [&runner](const auto& a) {
        need(a, 1);
        runner.fake().registry.deniedKeys.append(a[0].text);
    });
}

} // namespace scenario
