#include "platform/linux/LinuxPaths.h"

#include "platform/Files.h"
#include "platform/linux/AtomicSave.h"

#include "platform/Logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
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
    // The user's lists and the key tree live here: the folder is the user's alone.
    if (makePrivateFolder(QFile::encodeName(folder)) != platform::FileError::None)
        qCWarning(platform::lcFiles, "cannot create the data folder %s", qPrintable(folder));
    return folder;
}

QString shippedDataFolder() {
    return shippedDataFolderFor(executableFolder());
}

QString shippedDataFolderFor(const QString& programFileFolder) {
    // An install puts the program in PREFIX/bin and its files in PREFIX/share/tavrel; the build
    // tree has the same shape (build/bin, build/share/tavrel).
    const QString installed =
        QDir::cleanPath(programFileFolder + QStringLiteral("/../share/tavrel"));
    return QFileInfo(installed).isDir() ? installed : programFileFolder;
}

bool seedKeywordList(const QString& dataFolder, const QString& shippedFolder) {
    const QString name = QStringLiteral("/ListeUrl.dat");
    const QString target = dataFolder + name;
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        return true;
    QFile starter(shippedFolder + name);
    if (!starter.open(QIODevice::ReadOnly)) {
        qCWarning(platform::lcFiles, "no starter keyword list: %s: %s",
                  qPrintable(starter.fileName()), qPrintable(starter.errorString()));
        return false;
    }
    // Written whole or not at all, so that a failed copy is tried again at the next start.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(starter.readAll()) < 0 || !out.commit()) {
        qCWarning(platform::lcFiles, "cannot copy the starter keyword list to %s: %s",
                  qPrintable(target), qPrintable(out.errorString()));
        return false;
    }
    qCInfo(platform::lcFiles, "starter keyword list copied to %s", qPrintable(target));
    return true;
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
