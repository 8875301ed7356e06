#include "app/StartWithSession.h"

#include "app/FrmMain.h"

namespace app {

StartWithSession::StartWithSession(FrmMain& form) : f(form), m_registry(form.platform()) {
    f.startWithSessionSwitch.onClick = [this] { chkStartOnWin_Click(); };
}

QString StartWithSession::startKey() const {
    return m_registry.IsNTPlatform()
               ? QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run")
               : QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\RunServices");
}

void StartWithSession::readBack() {
    // Any value of that name counts: its content is not compared with this program's path.
    RegValue found;
    const long result = m_registry.ReadRegValue(platform::HKEY_LOCAL_MACHINE, startKey(),
                                                QString::fromLatin1(kValueName), found);
    f.startWithSessionSwitch.setValue(result == platform::ERROR_SUCCESS ? 1 : 0);
}

void StartWithSession::chkStartOnWin_Click() {
    // Failures are silent: the next activation reads the entry back and corrects the switch.
    m_registry.BuildExePath();
    const QString key = startKey();
    const QString name = QString::fromLatin1(kValueName);
    if (f.startWithSessionSwitch.value() == 1)
        m_registry.SaveRegString(platform::HKEY_LOCAL_MACHINE, key, name, m_registry.gProgramPath);
    else
        m_registry.DeleteRegValue(platform::HKEY_LOCAL_MACHINE, key, name);
}

} // namespace app
