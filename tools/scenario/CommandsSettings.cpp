#include "app/Switches.h"
#include "app/TaskBarIcon.h"
#include "tools/scenario/Extensions.h"

namespace scenario {

using platform::fake::quote;

QString trayMenuLine(app::FrmMain& f) {
    QString line = QStringLiteral("menu ") + f.trayMenu.name() + u':';
    for (const controls::MenuItem* item : f.taskBarIcon().menuItems()) {
        if (item->separator() || !item->visible())
            continue;
        line += u' ' + quote(item->caption());
        if (!item->enabled())
            line += QStringLiteral("(disabled)");
    }
    return line;
}

void registerSettingsCommands(ScenarioRunner& runner) {
    // The values the settings give the rest of the program.
    runner.addCommand("globals", [&runner](const auto&) {
        const app::FrmMain& f = runner.form();
        runner.print(QStringLiteral("globals autoclose=%1 width=%2 height=%3 sound=%4 password=%5")
                         .arg(f.gAutoClose ? 1 : 0)
                         .arg(f.gLimitWidth)
                         .arg(f.gLimitHeight)
                         .arg(quote(f.gSoundFile), quote(f.gPassword)));
    });
    // The closure sound as a closing step plays it.
    runner.addCommand("closure-sound",
                      [&runner](const auto&) { runner.form().switches().PlayClosureSound(); });
}

} // namespace scenario
