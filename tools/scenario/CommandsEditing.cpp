#include "tools/scenario/Extensions.h"

namespace scenario {

void registerEditingCommands(ScenarioRunner& runner) {
    (void)runner;
}

} // namespace scenario
