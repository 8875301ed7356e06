#include "tools/scenario/Extensions.h"

namespace scenario {

void registerCookieCommands(ScenarioRunner& runner) {
    (void)runner;
}

} // namespace scenario
