#include "platform/Logging.h"

namespace platform {

Q_LOGGING_CATEGORY(lcBrowser, "tavrel.browser", QtWarningMsg)
Q_LOGGING_CATEGORY(lcCdp, "tavrel.browser.cdp", QtWarningMsg)
Q_LOGGING_CATEGORY(lcBrowserOutput, "tavrel.browser.output", QtWarningMsg)
Q_LOGGING_CATEGORY(lcFiles, "tavrel.files", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSettings, "tavrel.settings", QtWarningMsg)
Q_LOGGING_CATEGORY(lcKeys, "tavrel.keys", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSound, "tavrel.sound", QtWarningMsg)
Q_LOGGING_CATEGORY(lcDisplay, "tavrel.display", QtWarningMsg)

} // namespace platform
