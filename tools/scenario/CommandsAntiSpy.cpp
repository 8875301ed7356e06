#include "tools/scenario/Extensions.h"

namespace scenario {

void registerAntiSpyCommands(ScenarioRunner& runner) {
    (void)runner;
}

} // namespace scenario
