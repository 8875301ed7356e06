#include "platform/linux/FirefoxProfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cerrno>
#include <csignal>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace platform::linuxp {

namespace {

// profiles.ini and compatibility.ini are small INI files that Firefox writes; read without
// QSettings, which would take a comma in a folder name for a list.
struct IniSection {
    QString name;
    std::vector<std::pair<QString, QString>> values;
    QString value(const QString& key) const {
        for (const auto& [k, v] : values)
            if (k == key)
                return v;
        return {};
    }
};

std::vector<IniSection> readIni(const QString& path) {
    std::vector<IniSection> sections;
    QFile file(path);
    // Far larger than any profiles.ini; a bigger file is not one.
    if (!file.open(QIODevice::ReadOnly) || file.size() > 1024 * 1024)
        return sections;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            sections.push_back({line.mid(1, line.size() - 2), {}});
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0 && !sections.empty())
            sections.back().values.emplace_back(line.left(equals).trimmed(),
                                                line.mid(equals + 1).trimmed());
    }
    return sections;
}

QString lastPlatformDir(const QString& profileDir) {
    for (const IniSection& s : readIni(profileDir + QStringLiteral("/compatibility.ini")))
        if (s.name == u"Compatibility")
            return s.value(QStringLiteral("LastPlatformDir"));
    return {};
}

bool alive(qint64 pid) {
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

} // namespace

QString FirefoxProfiles::profilesFolder() {
    const QString home = QDir::homePath();
    if (QFileInfo(home + QStringLiteral("/.mozilla/firefox")).isDir())
        return home + QStringLiteral("/.mozilla/firefox");
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = home + QStringLiteral("/.config");
    return config + QStringLiteral("/mozilla/firefox");
}

QString FirefoxProfiles::installDirOf(const QString& program) {
    const QString real = QFileInfo(program).canonicalFilePath();
    return real.isEmpty() ? QString() : QFileInfo(real).absolutePath();
}

QString FirefoxProfiles::usualProfile(const QString& folder, const QString& installDir) {
    const std::vector<IniSection> ini = readIni(folder + QStringLiteral("/profiles.ini"));
    // A profile's folder: its Path, under the profiles' folder when relative.
    auto resolve = [&](const QString& path) -> QString {
        if (path.isEmpty())
            return {};
        bool relative = !QDir::isAbsolutePath(path);
        for (const IniSection& s : ini)
            if (s.name.startsWith(u"Profile") && s.value(QStringLiteral("Path")) == path)
                relative = s.value(QStringLiteral("IsRelative")) != u"0";
        return relative ? folder + u'/' + path : path;
    };

    // Since Firefox 67 each installation has its own default profile.
    std::vector<QString> installDefaults;
    for (const IniSection& s : ini)
        if (s.name.startsWith(u"Install"))
            if (const QString dir = resolve(s.value(QStringLiteral("Default"))); !dir.isEmpty())
                installDefaults.push_back(dir);
    if (installDefaults.size() > 1 && !installDir.isEmpty())
        for (const QString& dir : installDefaults)
            if (QDir::cleanPath(lastPlatformDir(dir)) == QDir::cleanPath(installDir))
                return dir;
    if (!installDefaults.empty())
        return installDefaults.front();

    QString only;
    int profiles = 0;
    for (const IniSection& s : ini) {
        if (!s.name.startsWith(u"Profile"))
            continue;
        const QString dir = resolve(s.value(QStringLiteral("Path")));
        if (dir.isEmpty())
            continue;
        if (s.value(QStringLiteral("Default")) == u"1")
            return dir;
        ++profiles;
        only = dir;
    }
    return profiles == 1 ? only : QString();
}

std::optional<qint64> FirefoxProfiles::lockHolder(const QString& profileDir) {
    if (profileDir.isEmpty())
        return std::nullopt;
    // A running Firefox holds a write lock on .parentlock (opened here read-only, never
    // made).
    const QByteArray parentLock = QFile::encodeName(profileDir + QStringLiteral("/.parentlock"));
    if (const int fd = ::open(parentLock.constData(), O_RDONLY | O_CLOEXEC); fd >= 0) {
        struct flock probe = {};
        probe.l_type = F_WRLCK;
        probe.l_whence = SEEK_SET;
        const bool held = ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
        ::close(fd);
        if (held)
            return probe.l_pid > 0 ? qint64(probe.l_pid) : -1;
    }
    // And a link named lock to "address:+PID", which outlives a Firefox that was killed.
    const QByteArray link = QFile::encodeName(profileDir + QStringLiteral("/lock"));
    char target[256];
    const ssize_t length = ::readlink(link.constData(), target, sizeof target - 1);
    if (length <= 0)
        return std::nullopt;
    const QString text = QString::fromLatin1(target, length);
    const qsizetype plus = text.lastIndexOf(QStringLiteral(":+"));
    bool ok = false;
    const qint64 pid = plus >= 0 ? text.mid(plus + 2).toLongLong(&ok) : 0;
    if (ok && alive(pid))
        return pid;
    return std::nullopt;
}

FirefoxProfiles::Preferences FirefoxProfiles::preferences(const QString& profileDir) {
    // user_pref("name", true|false);
    static const QRegularExpression line(
        QStringLiteral("^\\s*user_pref\\(\\s*\"([^\"]+)\"\\s*,\\s*(true|false)\\s*\\)\\s*;"),
        QRegularExpression::MultilineOption);
    Preferences p;
    for (const char* name : {"prefs.js", "user.js"}) {
        QFile file(profileDir + u'/' + QLatin1String(name));
        if (!file.open(QIODevice::ReadOnly) || file.size() > 16 * 1024 * 1024)
            continue;
        const QString text = QString::fromUtf8(file.readAll());
        for (auto it = line.globalMatch(text); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const bool value = m.captured(2) == u"true";
            if (m.captured(1) == u"remote.prefs.recommended")
                p.automationOff = !value;
            else if (m.captured(1) == u"dom.disable_open_during_load")
                p.popupBlockerOff = !value;
        }
    }
    return p;
}

} // namespace platform::linuxp
