#include "tools/scenario/Extensions.h"

namespace scenario {

void registerWatchCommands(ScenarioRunner& runner) {
    (void)runner;
}

} // namespace scenario
