#pragma once

#include "tools/scenario/ScenarioRunner.h"

namespace scenario {

// The commands, family by family, each family in a file of its own.
void registerWorldCommands(ScenarioRunner& runner);   // CommandsWorld.cpp
void registerDrivingCommands(ScenarioRunner& runner); // CommandsDriving.cpp
void registerDumpCommands(ScenarioRunner& runner);    // Dumps.cpp
void registerSettingsCommands(ScenarioRunner& runner);
void registerWatchCommands(ScenarioRunner& runner);
void registerEditingCommands(ScenarioRunner& runner);
void registerCookieCommands(ScenarioRunner& runner);
void registerAntiSpyCommands(ScenarioRunner& runner);
void registerListCommands(ScenarioRunner& runner); // CommandsLists.cpp

/// Gives every chart of the form a stand-in for the view's drawing (CommandsLists.cpp).
void installChartStandIns(controls::Form& form);
void registerBrowserCommands(ScenarioRunner& runner); // CommandsBrowser.cpp
void registerNoticeCommands(ScenarioRunner& runner);  // CommandsNotices.cpp

} // namespace scenario
