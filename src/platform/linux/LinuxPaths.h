#pragma once

#include <QString>

namespace platform::linuxp {

// The places Tavrel uses on a Linux desktop. They follow the XDG variables (XDG_DATA_HOME,
// XDG_CONFIG_HOME, XDG_RUNTIME_DIR) and HOME, read at each call.

/// Full path of the running program file.
QString executablePath();
/// The folder of the running program file.
QString executableFolder();
/// The user's config folder (~/.config).
QString userConfigFolder();
/// The folder Tavrel keeps its own data in (~/.local/share/Tavrel); created when missing.
QString tavrelDataFolder();
/// The user's runtime folder (XDG_RUNTIME_DIR), or a private folder of Tavrel's under the
/// temporary folder when the session has none.
QString userRuntimeFolder();

} // namespace platform::linuxp
