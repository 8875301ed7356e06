#include "UserHome.h"

#include "platform/linux/LinuxPlatform.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

class NoBrowser : public platform::BrowserShell {
public:
    QList<platform::BrowserWindow*> windows() const override { return {}; }
    bool postClose(platform::WindowHandle) override { return false; }
    bool keyDown(platform::Key) const override { return false; }
    QPoint cursorPosIn(platform::WindowHandle) const override { return {}; }
};

} // namespace

TEST(LinuxPlatform, ImmediateEndGivesTheInstanceBackAndKeepsWhatWasSaved) {
    UserHome home;
    const QString lock = home.path(QStringLiteral("run/Tavrel.lock"));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        NoBrowser browser;
        auto* desktop = new platform::linuxp::LinuxPlatform(browser);
        platform::Platform& p = desktop->platform();
        if (!p.instance.claim() || !QFile::exists(lock))
            ::_exit(3);
        p.settings.setValue(QStringLiteral("Tavrel"), QStringLiteral("Config"),
                            QStringLiteral("Masq"), QStringLiteral("1"));
        // Without the view's dialogs a question is answered No.
        if (p.dialogs.message(QStringLiteral("?"), platform::MessageButtons::YesNo,
                              platform::MessageIcon::Question, {}) != platform::MessageAnswer::No)
            ::_exit(4);
        p.processes.endNow();
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(QFile::exists(lock));
    platform::linuxp::LinuxSettings settings;
    EXPECT_EQ(
        settings.value(QStringLiteral("Tavrel"), QStringLiteral("Config"), QStringLiteral("Masq")),
        QStringLiteral("1"));
}
