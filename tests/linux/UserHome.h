#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <map>

// A user's home in a temporary folder: HOME and the XDG folders point into it while the
// object lives, and are given back their values afterwards.
class UserHome {
public:
    UserHome() {
        for (const char* name :
             {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR", "TAVREL_BROWSER",
              "TAVREL_BROWSER_ARGS", "TAVREL_BROWSER_PROFILE", "TAVREL_ATTACH"}) {
            m_saved[name] = {qEnvironmentVariableIsSet(name), qgetenv(name)};
            qunsetenv(name);
        }
        const QByteArray root = QFile::encodeName(m_dir.path());
        qputenv("HOME", root);
        qputenv("XDG_CONFIG_HOME", root + "/config");
        qputenv("XDG_DATA_HOME", root + "/data");
        qputenv("XDG_RUNTIME_DIR", root + "/run");
        QDir().mkpath(m_dir.path() + QStringLiteral("/run"));
    }
    ~UserHome() {
        for (const auto& [name, saved] : m_saved) {
            if (saved.first)
                qputenv(name, saved.second);
            else
                qunsetenv(name);
        }
    }
    UserHome(const UserHome&) = delete;
    UserHome& operator=(const UserHome&) = delete;

    QString path(const QString& below = {}) const {
        return below.isEmpty() ? m_dir.path() : m_dir.path() + u'/' + below;
    }
    bool valid() const { return m_dir.isValid(); }

private:
    QTemporaryDir m_dir;
    std::map<const char*, std::pair<bool, QByteArray>> m_saved;
};

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
