#pragma once

#include <QLoggingCategory>

namespace platform {

// The program's logging categories. Warnings are shown by default; the other levels are
// switched on with QT_LOGGING_RULES, e.g. QT_LOGGING_RULES="tavrel.*=true" for everything or
// "tavrel.browser.cdp.debug=true" for the protocol messages (docs/logging.md).
Q_DECLARE_LOGGING_CATEGORY(lcBrowser)       // tavrel.browser: launch, attach, loss of the browser
Q_DECLARE_LOGGING_CATEGORY(lcCdp)           // tavrel.browser.cdp: every protocol message
Q_DECLARE_LOGGING_CATEGORY(lcBrowserOutput) // tavrel.browser.output: the browser's own output
Q_DECLARE_LOGGING_CATEGORY(lcFiles)         // tavrel.files: the folders in use, first start
Q_DECLARE_LOGGING_CATEGORY(lcSettings)      // tavrel.settings: the settings file
Q_DECLARE_LOGGING_CATEGORY(lcKeys)          // tavrel.keys: the key tree file
Q_DECLARE_LOGGING_CATEGORY(lcSound)         // tavrel.sound: sounds that could not play
Q_DECLARE_LOGGING_CATEGORY(lcDisplay)       // tavrel.display: the display the window opens on

} // namespace platform
