#include "tools/scenario/Commands.h"
#include "tools/scenario/MainWindow.h"

namespace scenario {

using fakes::quote;

void registerSettingsCommands(ScenarioRunner& runner) {
    // The values the settings give the rest of the program.
    runner.addCommand("globals", [&runner](const auto&) {
        const Globals g = globals(runner.form());
        runner.print(QStringLiteral("globals autoclose=%1 width=%2 height=%3 sound=%4 password=%5")
                         .arg(g.autoClose ? 1 : 0)
                         .arg(g.limitWidth)
                         .arg(g.limitHeight)
                         .arg(quote(g.soundFile), quote(g.password)));
    });
    // The closure sound as a closing step plays it.
    runner.addCommand("closure-sound", [&runner](const auto&) { playClosureSound(runner.form()); });
}

} // namespace scenario
