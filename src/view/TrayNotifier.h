#pragma once

#include "platform/Notifier.h"

#include <QPointer>
#include <QSystemTrayIcon>

namespace view {

// Notices as balloons of the notification-area icon, for desktops without a notification
// service. A balloon has no buttons: one that offers an action says that a click on it
// chooses it.
class TrayNotifier : public platform::Notifier {
    Q_OBJECT
public:
    TrayNotifier() = default;

    /// The icon the balloons come from (the main window's); none until it is set.
    void setIcon(QSystemTrayIcon* icon);
    bool available() const override;
    void show(quint32 id, const QString& title, const QString& text,
              const QString& action) override;

    /// The line added under the text of a notice with an action.
    static QString clickHint() { return QStringLiteral("Cliquez ici pour l'ouvrir quand même."); }

private:
    QPointer<QSystemTrayIcon> m_icon;
    quint32 m_shown = 0;      // the notice the balloon shows
    bool m_hasAction = false; // and whether a click chooses its action
};

} // namespace view
