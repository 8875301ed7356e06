// The profile a launched Firefox runs on: one given from outside, the user's usual one (left
// as it is), or Tavrel's own (whose user.js Tavrel writes).

#include "platform/linux/FirefoxLauncher.h"

#include "platform/linux/FirefoxProfiles.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

namespace platform::linuxp {

namespace {

// The first line of the user.js that Tavrel writes; another one is never replaced.
constexpr char kPrefsMarker[] = "// Written by Tavrel";

// The profile folder named in the arguments (a profile named by -P has no folder known here).
QString profileArgument(const QStringList& arguments) {
    QString folder;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if ((a == u"--profile" || a == u"-profile") && i + 1 < arguments.size())
            folder = arguments.at(++i);
        else if (a.startsWith(u"--profile="))
            folder = a.mid(10);
    }
    return folder;
}

} // namespace

const QByteArray& FirefoxLauncher::profileInUseWords() {
    static const QByteArray words = "Firefox is already running, but is not responding";
    return words;
}

QByteArray FirefoxLauncher::profilePreferences() {
    return QByteArray(kPrefsMarker) +
           "; rewritten at each launch.\n"
           // Tavrel's rules decide which pop-ups open, not Firefox's own blocker.
           "user_pref(\"dom.disable_open_during_load\", false);\n"
           // No first-run pages, default-browser question or data-reporting notice.
           "user_pref(\"browser.shell.checkDefaultBrowser\", false);\n"
           "user_pref(\"browser.startup.homepage_override.mstone\", \"ignore\");\n"
           "user_pref(\"browser.aboutwelcome.enabled\", false);\n"
           "user_pref(\"datareporting.policy.dataSubmissionEnabled\", false);\n"
           "user_pref(\"toolkit.telemetry.reportingpolicy.firstRun\", false);\n"
           // After a crash Tavrel starts the browser again: the pop-ups of before stay closed,
           // and no question about a safe mode stops it.
           "user_pref(\"browser.sessionstore.resume_from_crash\", false);\n"
           "user_pref(\"toolkit.startup.max_resumed_crashes\", -1);\n"
           // Started with a debugging port, Firefox would otherwise switch to its automation
           // preferences: no Safe Browsing, no tracking protection, no saved passwords.
           "user_pref(\"remote.prefs.recommended\", false);\n";
}

bool FirefoxLauncher::chooseProfile(QStringList& args) {
    // One named in the arguments wins; a profile named by -P has no folder known here.
    m_lockDir = profileArgument(m_options.arguments);
    if (std::any_of(m_options.arguments.begin(), m_options.arguments.end(),
                    FirefoxOptions::namesProfile))
        return true;
    if (m_options.ownProfile && m_options.profileDir.isEmpty()) {
        // The user's own: used only when it keeps its settings while watched, and left as it
        // is; its pop-up blocker then stays as the user set it.
        m_ownProfile = true;
        m_lockDir = m_options.usualProfileDir;
        const FirefoxProfiles::Preferences prefs = FirefoxProfiles::preferences(m_lockDir);
        if (m_lockDir.isEmpty() || !prefs.automationOff) {
            m_lastError = QStringLiteral("Firefox would change the usual profile's settings");
            setStatus(BrowserStatus::State::Stopped, BrowserStatus::Reason::ChangesProfile,
                      m_lockDir.isEmpty() ? QString() : m_lockDir + QStringLiteral("/user.js"));
            return false;
        }
        m_blocksPopups = !prefs.popupBlockerOff.value_or(false);
        args << QStringLiteral("--profile") << m_lockDir;
        return true;
    }
    QString profile = m_options.profileDir;
    if (profile.isEmpty())
        profile = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                  QStringLiteral("/Tavrel/firefox-profile");
    QDir().mkpath(profile);
    // The preferences go into a user.js that Tavrel wrote, or into none: a user.js of
    // somebody else's is left as it is.
    const QString userJs = profile + QStringLiteral("/user.js");
    QFile existing(userJs);
    if (!existing.exists() ||
        (existing.open(QIODevice::ReadOnly) && existing.readLine().startsWith(kPrefsMarker))) {
        existing.close();
        QSaveFile file(userJs);
        if (!file.open(QIODevice::WriteOnly) || file.write(profilePreferences()) < 0 ||
            !file.commit())
            qWarning("Tavrel: cannot write %s; Firefox's pop-up blocker stays as it is",
                     qPrintable(userJs));
    }
    m_lockDir = profile;
    args << QStringLiteral("--profile") << profile;
    return true;
}

} // namespace platform::linuxp
