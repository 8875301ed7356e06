#pragma once

#include "platform/Browser.h"

#include <QString>

namespace controls {
class CheckBox;
class ComboBox;
} // namespace controls

namespace watch {

// The user's choice of the watched browser: the drop-down list of the browsers found and the
// switch of the usual profile. Each change goes to the browser shell at once. A browser or a
// profile fixed from outside (command line, environment) greys its control out.
class BrowserChoice {
public:
    BrowserChoice(platform::BrowserShell& shell, controls::ComboBox& box,
                  controls::CheckBox& ownProfile);

    /// Fills the list with the browsers found, selects `storedId` (the default browser when
    /// it is empty or not found), sets the switch, and tells the shell. False when
    /// `storedId` names a browser that is not found here.
    bool load(const QString& storedId, int ownProfile);
    /// The chosen browser's id (the stored one while the list is empty).
    QString chosenId() const;

    /// The user chose another entry of the list.
    void boxChanged();
    /// The usual-profile switch changed.
    void switchChanged();

private:
    void apply();

    platform::BrowserShell& m_shell;
    controls::ComboBox& m_box;
    controls::CheckBox& m_ownProfile;
    QList<platform::BrowserProduct> m_products;
    QString m_stored;
    bool m_loading = false;
};

} // namespace watch
