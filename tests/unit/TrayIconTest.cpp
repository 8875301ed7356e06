#include "app/MainForm.h"
#include "app/TaskBarIcon.h"

#include <gtest/gtest.h>

using namespace app;

// The icon's notifications carry a button code; only the left button toggles and only the
// right one opens the menu, whatever the component sends.
TEST(TaskBarIcon, OnlyTheirOwnButtonCodesAct) {
    MainForm f;
    f.setVisible(true);
    TaskBarIcon icon(f);
    int menus = 0;
    QObject::connect(&icon, &TaskBarIcon::menuRequested, [&menus] { ++menus; });

    for (int code : {0, 2, 3, 4})
        icon.activation(code);
    EXPECT_TRUE(f.visible());
    EXPECT_FALSE(icon.IconInTray());
    for (int code : {0, 1, 3})
        EXPECT_FALSE(icon.contextNotification(code));
    EXPECT_EQ(menus, 0);

    EXPECT_TRUE(icon.contextNotification(2));
    EXPECT_EQ(menus, 1);
    icon.activation(1);
    EXPECT_FALSE(f.visible());
    EXPECT_TRUE(icon.IconInTray());
    EXPECT_EQ(f.hideShowMenuItem.caption(), "Afficher");
}

// The toggle trusts the component's report, not the window's visibility.
TEST(TaskBarIcon, ToggleDecidesByIconInTray) {
    MainForm f;
    TaskBarIcon icon(f);
    f.setVisible(false); // hidden, yet never entered the tray
    icon.toggle();
    EXPECT_TRUE(icon.IconInTray());
    EXPECT_FALSE(f.visible());
    icon.toggle();
    EXPECT_FALSE(icon.IconInTray());
    EXPECT_TRUE(f.visible());
    EXPECT_EQ(f.hideShowMenuItem.caption(), "Masquer");
}
