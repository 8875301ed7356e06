#include "app/StartWithSession.h"

#include "controls/Simple.h"

namespace app {

StartWithSession::StartWithSession(platform::Platform& platform, controls::CheckBox& startSwitch)
    : m_switch(startSwitch), m_registry(platform) {}

QString StartWithSession::startKey() const {
    return m_registry.isNtPlatform()
               ? QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run")
               : QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\RunServices");
}

void StartWithSession::readBack() {
    // Any value of that name counts: its content is not compared with this program's path.
    RegValue found;
    const long result = m_registry.readValue(platform::HKEY_LOCAL_MACHINE, startKey(),
                                             QString::fromLatin1(kValueName), found);
    m_switch.setValue(result == platform::ERROR_SUCCESS ? 1 : 0);
}

void StartWithSession::switchChanged() {
    // Failures are silent: the next activation reads the entry back and corrects the switch.
    m_registry.buildProgramPath();
    const QString key = startKey();
    const QString name = QString::fromLatin1(kValueName);
    if (m_switch.value() == 1)
        m_registry.saveText(platform::HKEY_LOCAL_MACHINE, key, name, m_registry.programPath);
    else
        m_registry.deleteValue(platform::HKEY_LOCAL_MACHINE, key, name);
}

} // namespace app
