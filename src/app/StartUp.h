#pragma once

#include "app/FrmMain.h"

#include <memory>

namespace app {

/// The start-up entry: with another instance running, warns and returns null (the caller
/// ends the process); otherwise creates, loads and shows the main window.
std::unique_ptr<FrmMain> startUp(platform::Platform& platform);

} // namespace app
