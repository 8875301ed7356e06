#include "app/TaskBarIcon.h"

#include "app/MainForm.h"

namespace app {

TaskBarIcon::TaskBarIcon(MainForm& form) : f(form) {}

void TaskBarIcon::setToolTip(const QString& text) {
    if (text == m_toolTip)
        return;
    m_toolTip = text;
    emit toolTipChanged(text);
}

void TaskBarIcon::EnterTray() {
    m_inTray = true;
    emit trayChanged(true);
}

void TaskBarIcon::LeaveTray() {
    m_inTray = false;
    emit trayChanged(false);
}

void TaskBarIcon::hideToTray() {
    f.hideShowMenuItem.setCaption(QStringLiteral("Afficher"));
    EnterTray();
    f.setVisible(false);
}

void TaskBarIcon::showFromTray() {
    f.hideShowMenuItem.setCaption(QStringLiteral("Masquer"));
    LeaveTray();
    f.setVisible(true);
}

void TaskBarIcon::toggle() {
    if (IconInTray())
        showFromTray();
    else
        hideToTray();
}

void TaskBarIcon::activation(int button) {
    if (button == 1)
        toggle();
}

bool TaskBarIcon::contextNotification(int button) {
    if (button != 2)
        return false;
    emit menuRequested();
    return true;
}

std::vector<controls::MenuItem*> TaskBarIcon::menuItems() const {
    return {&f.passwordMenuItem, &f.traySeparator1, &f.hideShowMenuItem, &f.traySeparator2,
            &f.aboutMenuItem,    &f.traySeparator3, &f.quitMenuItem};
}

} // namespace app
