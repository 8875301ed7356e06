#include "platform/linux/BrowserDiscovery.h"

#include "platform/linux/FirefoxProfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace platform::linuxp {

const std::vector<BrowserKind>& BrowserDiscovery::kinds() {
    // clang-format off
    static const std::vector<BrowserKind> known{
        {"chromium", "Chromium", {"chromium", "chromium-browser"},
         {"chromium.desktop", "chromium-browser.desktop"}, "chromium", BrowserEngine::Cdp},
        {"google-chrome", "Google Chrome", {"google-chrome-stable", "google-chrome"},
         {"google-chrome.desktop"}, "google-chrome", BrowserEngine::Cdp},
        {"brave-browser", "Brave", {"brave-browser", "brave-browser-stable", "brave"},
         {"brave-browser.desktop", "brave.desktop"}, "BraveSoftware/Brave-Browser",
         BrowserEngine::Cdp},
        {"microsoft-edge", "Microsoft Edge", {"microsoft-edge-stable", "microsoft-edge"},
         {"microsoft-edge.desktop"}, "microsoft-edge", BrowserEngine::Cdp},
        {"vivaldi", "Vivaldi", {"vivaldi-stable", "vivaldi"},
         {"vivaldi-stable.desktop", "vivaldi.desktop"}, "vivaldi", BrowserEngine::Cdp},
        {"firefox", "Firefox", {"firefox-esr", "firefox"},
         {"firefox-esr.desktop", "firefox.desktop"}, {}, BrowserEngine::Bidi},
    };
    // clang-format on
    return known;
}

const BrowserKind* BrowserDiscovery::kind(const QString& id) {
    for (const BrowserKind& k : kinds())
        if (k.id == id)
            return &k;
    return nullptr;
}

const BrowserKind* BrowserDiscovery::kindOfProgram(const QString& program) {
    const QString name = QFileInfo(program).fileName();
    for (const BrowserKind& k : kinds())
        if (k.programs.contains(name))
            return &k;
    return nullptr;
}

QString BrowserDiscovery::usualProfileDir(const BrowserKind& kind, const QString& program) {
    if (kind.engine == BrowserEngine::Bidi)
        return FirefoxProfiles::usualProfile(FirefoxProfiles::profilesFolder(),
                                             FirefoxProfiles::installDirOf(program));
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + u'/' + kind.profileFolder;
}

QString BrowserDiscovery::desktopDefaultEntry() {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-settings"));
    if (tool.isEmpty())
        return {};
    QProcess p;
    p.setProgram(tool);
    p.setArguments({QStringLiteral("get"), QStringLiteral("default-web-browser")});
    p.setStandardInputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start();
    if (!p.waitForFinished(3000)) {
        p.kill();
        p.waitForFinished(1000);
        return {};
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

void BrowserDiscovery::scan(const Which& which, const QString& desktopEntry) {
    m_found.clear();
    m_desktopDefault.clear();
    for (const BrowserKind& k : kinds())
        for (const QString& program : k.programs)
            if (const QString path = which(program); !path.isEmpty()) {
                m_found.append({&k, path});
                break;
            }
    for (const FoundBrowser& f : m_found)
        if (f.kind->desktopEntries.contains(desktopEntry))
            m_desktopDefault = f.kind->id;
}

void BrowserDiscovery::scan() {
    scan([](const QString& name) { return QStandardPaths::findExecutable(name); },
         desktopDefaultEntry());
}

const FoundBrowser* BrowserDiscovery::find(const QString& id) const {
    for (const FoundBrowser& f : m_found)
        if (f.kind->id == id)
            return &f;
    return nullptr;
}

QString BrowserDiscovery::defaultId() const {
    if (!m_desktopDefault.isEmpty())
        return m_desktopDefault;
    return m_found.isEmpty() ? QString() : m_found.first().kind->id;
}

QList<BrowserProduct> BrowserDiscovery::products() const {
    QList<BrowserProduct> list;
    for (const FoundBrowser& f : m_found)
        list.append({f.kind->id, f.kind->name});
    return list;
}

} // namespace platform::linuxp
