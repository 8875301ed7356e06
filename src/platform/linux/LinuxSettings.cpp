#include "platform/linux/LinuxSettings.h"

#include "platform/Logging.h"
#include "platform/linux/AtomicSave.h"
#include "platform/linux/LinuxPaths.h"

#include <QFile>
#include <QFileInfo>

namespace platform::linuxp {

LinuxSettings::LinuxSettings(QString folder) : m_folder(std::move(folder)) {}

LinuxSettings::~LinuxSettings() = default;

QString LinuxSettings::fileName(const QString& app) const {
    const QString folder = m_folder.isEmpty() ? userConfigFolder() : m_folder;
    return folder + u'/' + app + u'/' + app + QStringLiteral(".ini");
}

QSettings& LinuxSettings::store(const QString& app) const {
    auto& slot = m_stores[app];
    if (!slot) {
        const QString file = fileName(app);
        // The settings hold the password as typed: their folder and file are the user's
        // alone. The file is made before the store writes it, which keeps its permissions.
        makePrivateFolder(QFile::encodeName(QFileInfo(file).absolutePath()));
        createPrivateFile(QFile::encodeName(file));
        slot = std::make_unique<QSettings>(file, QSettings::IniFormat);
        qCDebug(platform::lcSettings, "settings file %s", qPrintable(file));
    }
    return *slot;
}

std::optional<QString> LinuxSettings::value(const QString& app, const QString& section,
                                            const QString& key) const {
    QSettings& s = store(app);
    const QString path = section + u'/' + key;
    if (!s.contains(path))
        return std::nullopt;
    const QVariant v = s.value(path);
    // A line edited by hand as  key=a,b  reads as a list: give back the text as written.
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(u',');
    return v.toString();
}

void LinuxSettings::setValue(const QString& app, const QString& section, const QString& key,
                             const QString& value) {
    QSettings& s = store(app);
    s.setValue(section + u'/' + key, value);
    // Written at once, so an immediate end of the program loses nothing, and onto the disk,
    // so that a power cut does not either.
    s.sync();
    syncToDisk(QFile::encodeName(s.fileName()));
    if (s.status() != QSettings::NoError)
        qCWarning(platform::lcSettings, "cannot write %s to %s", qPrintable(section + u'/' + key),
                  qPrintable(s.fileName()));
}

} // namespace platform::linuxp
