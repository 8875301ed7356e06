#pragma once

#include "app/Program.h"

#include <memory>

namespace app {

/// The start-up entry: refuses a second instance with a message (null), otherwise builds the
/// program, runs its load step and shows its window.
std::unique_ptr<Program> startUp(platform::Platform& platform);

} // namespace app
