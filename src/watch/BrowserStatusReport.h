#pragma once

#include "platform/Browser.h"
#include "platform/Dialogs.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace controls {
class Label;
}

namespace watch {

// Says at all times what is watched: the text at the right of the status bar and the
// notification icon's tooltip name the watched browser and its window count, or why no
// browser is watched. A message tells the user when protection cannot start (once for each
// reason), when it stops, and when it starts again after such a message. A crashed browser
// that is being started again only shows in the text.
class BrowserStatusReport : public QObject {
    Q_OBJECT
public:
    BrowserStatusReport(platform::BrowserShell& shell, platform::Dialogs& dialogs,
                        controls::Label& statusLabel,
                        std::function<void(const QString&)> setToolTip);

    /// Follows the browser from now on (load step): the text at once, messages as needed.
    void start();
    /// The user brought the window back: a browser that only the user could bring back is
    /// started again.
    void userReturned();

    /// The status text for a status and a count of watched windows.
    static QString statusText(const platform::BrowserStatus& status, int windows);
    /// The message for a browser that is not watched; nothing where none is shown.
    /// `supported`: the names of the browsers Tavrel can watch.
    static std::optional<QString> problemMessage(const platform::BrowserStatus& status,
                                                 const QStringList& supported);
    /// The message for a browser watched after a problem message; `again` when it had been
    /// watched before.
    static QString backMessage(const platform::BrowserStatus& status, bool again);

private:
    /// The message for a usual profile that the browser would change while watched.
    static QString changesProfileMessage(const platform::BrowserStatus& status);
    void showText();
    void onStatus();
    void handleStatus();
    void tell(const QString& text, platform::MessageIcon icon);

    platform::BrowserShell& m_shell;
    platform::Dialogs& m_dialogs;
    controls::Label& m_label;
    std::function<void(const QString&)> m_setToolTip;
    bool m_started = false;
    bool m_watchedOnce = false;
    // The reason of the last problem message, until the browser is watched again.
    std::optional<platform::BrowserStatus::Reason> m_told;
    bool m_inMessage = false;
    bool m_again = false;
};

} // namespace watch
