#include "platform/linux/LinuxSystem.h"

#include "platform/linux/AtomicSave.h"

#include "platform/linux/LinuxPaths.h"

#include <QDir>
#include <QFileInfo>

namespace platform::linuxp {

LinuxSystem::LinuxSystem(QString systemFolder) : m_systemFolder(std::move(systemFolder)) {}

QString LinuxSystem::programFileName() const {
    return QFileInfo(executablePath()).fileName();
}

QString LinuxSystem::programFileFolder() const {
    return executableFolder();
}

QString LinuxSystem::systemFolder() const {
    const QString folder =
        m_systemFolder.isEmpty() ? tavrelDataFolder() + QStringLiteral("/System") : m_systemFolder;
    makePrivateFolder(QFile::encodeName(folder));
    return folder;
}

std::optional<QByteArray> LinuxSystem::loadResource(int, const QString&) const {
    return std::nullopt;
}

long LinuxSystem::selfRegister(const QString&) {
    return 1; // ERROR_INVALID_FUNCTION: there is no such registration
}

bool LinuxSystem::createComponent(const QString&) {
    return false;
}

} // namespace platform::linuxp
