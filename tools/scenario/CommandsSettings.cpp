#include "tools/scenario/Commands.h"

namespace scenario {

using fakes::quote;

void registerSettingsCommands(ScenarioRunner& runner) {
    // The values the settings give the rest of the program.
    runner.addCommand("globals", [&runner](const auto&) {
        app::Program& p = runner.program();
        runner.print(QStringLiteral("globals autoclose=%1 width=%2 height=%3 sound=%4 password=%5")
                         .arg(p.rules.autoClose ? 1 : 0)
                         .arg(p.rules.limitWidth)
                         .arg(p.rules.limitHeight)
                         .arg(quote(p.switches().soundFile()), quote(p.passwordLock().password())));
    });
    // The closure sound as a closing step plays it.
    runner.addCommand("closure-sound",
                      [&runner](const auto&) { runner.program().switches().playClosureSound(); });
}

} // namespace scenario
