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
/// Every file the program writes lives here.
QString tavrelDataFolder();
/// The folder of the files shipped with the program, which it only reads (help text, sound,
/// starter keyword list): share/tavrel of the install (or of the build tree) the program file
/// belongs to, found from the program file's folder.
QString shippedDataFolder();
/// The same, for a program file in `programFileFolder`: its ../share/tavrel when that folder
/// exists, else the program file's folder itself.
QString shippedDataFolderFor(const QString& programFileFolder);
/// The first start: copies the starter keyword list (ListeUrl.dat) from the shipped folder into
/// the data folder where there is none yet; a user's list is never replaced. True when the data
/// folder has a list afterwards.
bool seedKeywordList(const QString& dataFolder, const QString& shippedFolder);
/// The user's runtime folder (XDG_RUNTIME_DIR), or a private folder of Tavrel's under the
/// temporary folder when the session has none.
QString userRuntimeFolder();

} // namespace platform::linuxp
