#pragma once

#include "ScenarioRunner.h"

namespace scenario {

/// A number word; throws LineError.
int toInt(const Word& w);
/// Throws LineError when fewer than `count` arguments were given.
void need(const std::vector<Word>& args, std::size_t count);

/// The tray menu as it opens: `menu Mnu_Fichier: "caption" "caption"(disabled) ...`.
QString trayMenuLine(app::FrmMain& f);

// Commands of each part of the program, each in a file of its own.
void registerSettingsCommands(ScenarioRunner& runner);
void registerWatchCommands(ScenarioRunner& runner);
void registerEditingCommands(ScenarioRunner& runner);
void registerCookieCommands(ScenarioRunner& runner);
void registerAntiSpyCommands(ScenarioRunner& runner);

} // namespace scenario
