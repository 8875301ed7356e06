#include "tools/scenario/Extensions.h"

namespace scenario {

void registerSettingsCommands(ScenarioRunner& runner) {
    (void)runner;
}

} // namespace scenario
