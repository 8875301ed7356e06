#include "app/Program.h"
#include "app/TaskBarIcon.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

using namespace platform;

// The auto-hide at start-up is the hide command itself: both files written, window hidden.
TEST(Saving, AutoHideRunsTheHideCommandAtTheFirstActivationOnly) {
    fakes::FakePlatform fake;
    fake.files.setFile("/prog/ListeUrl.dat", "a\r\nb\r\n");
    app::Program program(fake.platform());
    app::MainForm& f = program.form();
    program.load();
    f.autoHideSwitch.setValue(1);
    fake.files.remove("/prog/Statistiques.dat");
    program.show();
    EXPECT_FALSE(f.visible());
    EXPECT_EQ(f.hideShowMenuItem.caption(), QStringLiteral("Afficher"));
    EXPECT_EQ(fake.files.readAll("/prog/ListeUrl.dat"), QByteArray("\"b\"\r\n\"a\"\r\n"));
    EXPECT_EQ(fake.files.readAll("/prog/Statistiques.dat"),
              QByteArray("\"b\",\"0\"\r\n\"a\",\"0\"\r\n"));

    // A later activation (the window shown again from the tray) does not hide it again.
    program.taskBarIcon().activation(1);
    program.activate();
    EXPECT_TRUE(f.visible());
}
