#include "UserHome.h"

#include "platform/linux/LinuxInstance.h"
#include "platform/linux/LinuxSound.h"
#include "platform/linux/LinuxSystem.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using platform::linuxp::LinuxInstance;

TEST(LinuxInstance, OneInstanceHoldsTheLockUntilItEnds) {
    UserHome home;
    auto first = std::make_unique<LinuxInstance>();
    EXPECT_EQ(first->lockFile(), home.path(QStringLiteral("run/Tavrel.lock")));
    EXPECT_TRUE(first->claim());
    EXPECT_TRUE(first->claim()); // claiming again keeps it

    LinuxInstance second;
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(QFile::exists(first->lockFile()));

    first.reset();
    EXPECT_TRUE(second.claim());
}

TEST(LinuxInstance, LockOfADeadProcessIsTakenOver) {
    UserHome home;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Takes the lock and dies without releasing it.
        auto* instance = new LinuxInstance;
        ::_exit(instance->claim() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_TRUE(QFile::exists(home.path(QStringLiteral("run/Tavrel.lock"))));

    LinuxInstance instance;
    EXPECT_TRUE(instance.claim());
}

TEST(LinuxSystem, OwnSystemFolderAndNoAddOns) {
    UserHome home;
    platform::linuxp::LinuxSystem system;
    EXPECT_EQ(system.systemFolder(), home.path(QStringLiteral("data/Tavrel/System")));
    EXPECT_TRUE(QFileInfo(system.systemFolder()).isDir());
    EXPECT_EQ(system.programFileName(), QStringLiteral("tavrel-linux-tests"));
    EXPECT_TRUE(system.isNTPlatform());
    EXPECT_NE(system.selfRegister(QStringLiteral("Sondrel.dll")), 0);
    EXPECT_FALSE(system.createComponent(QStringLiteral("Dravik.KillClass")));
    EXPECT_FALSE(system.loadResource(102, QStringLiteral("CUSTOM")).has_value());
}

TEST(LinuxSound, MissingFileIsRefusedAtOnce) {
    UserHome home;
    platform::linuxp::LinuxSound sound;
    EXPECT_FALSE(sound.play(home.path(QStringLiteral("none.wav"))));
    EXPECT_FALSE(sound.play(home.path()));
}
