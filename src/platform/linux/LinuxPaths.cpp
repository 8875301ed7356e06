#include "platform/linux/LinuxPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace platform::linuxp {

QString executablePath() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
}

QString executableFolder() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(executablePath()).absolutePath();
}

QString userConfigFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString tavrelDataFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/Tavrel");
    QDir().mkpath(folder);
    return folder;
}

QString userRuntimeFolder() {
    // QStandardPaths would make up a folder itself, with a warning on the terminal, when the
    // session has none; the choice is made here, quietly.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime;
    const QString own = QDir::tempPath() + QStringLiteral("/tavrel-") + QString::number(getuid());
    QDir().mkpath(own);
    // A folder of that name made by someone else is not used.
    if (QFileInfo(own).ownerId() != getuid() || QFileInfo(own).isSymLink()) {
        const QString config = userConfigFolder() + QStringLiteral("/Tavrel");
        QDir().mkpath(config);
        return config;
    }
    QFile::setPermissions(own, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return own;
}

} // namespace platform::linuxp
