#pragma once

#include "ScenarioRunner.h"

namespace scenario {

/// A number word; throws LineError.
int toInt(const Word& w);
/// Throws LineError when fewer than `count` arguments were given.
void need(const std::vector<Word>& args, std::size_t count);

// Commands of each part of the program, each in a file of its own.
void registerSettingsCommands(ScenarioRunner& runner);
void registerWatchCommands(ScenarioRunner& runner);
void registerEditingCommands(ScenarioRunner& runner);
void registerCookieCommands(ScenarioRunner& runner);
void registerAntiSpyCommands(ScenarioRunner& runner);

} // namespace scenario
