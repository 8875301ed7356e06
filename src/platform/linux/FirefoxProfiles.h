#pragma once

#include <QString>
#include <optional>

namespace platform::linuxp {

// What Firefox keeps about its profiles, read and never written: where the user's usual
// profile is (profiles.ini), whether a running Firefox holds a profile (its lock), and the
// preferences of a profile that matter to watching it (prefs.js and user.js).
class FirefoxProfiles {
public:
    /// The folder of Firefox's profiles.ini: `~/.mozilla/firefox` when it exists (older
    /// installations keep using it), else `$XDG_CONFIG_HOME/mozilla/firefox` (else
    /// `~/.config/mozilla/firefox`), where Firefox 153 makes a new one.
    static QString profilesFolder();

    /// The profile Firefox opens when started without naming one, from `folder`'s
    /// profiles.ini: the default of its installation (`[Install…]` sections; with several
    /// installations, the one whose profile was last run from `installDir`), else the profile
    /// marked `Default=1`, else the only one. Empty when there is none.
    static QString usualProfile(const QString& folder, const QString& installDir = {});
    /// The folder a Firefox program runs from (its links followed): what the profiles
    /// remember as their `LastPlatformDir`.
    static QString installDirOf(const QString& program);

    /// The process holding a profile folder, as Firefox itself tells: a lock on `.parentlock`
    /// held by another process, or a `lock` link to `address:+PID` whose process lives. -1 when
    /// held but the process is unknown; nothing when no running Firefox holds it (a link left
    /// by a Firefox that is gone does not count).
    static std::optional<qint64> lockHolder(const QString& profileDir);

    // The preferences of a profile that decide how it behaves when watched. Firefox started
    // with a debugging port sets its "recommended" automation preferences for as long as it
    // runs, unless the profile says `remote.prefs.recommended` false: among them its pop-up
    // blocker off, but also Safe Browsing, tracking protection and the saving of passwords.
    // It writes them into prefs.js and takes them back only when it ends normally.
    struct Preferences {
        /// The profile turns the automation preferences off.
        bool automationOff = false;
        /// The user's own choice about the pop-up blocker (`dom.disable_open_during_load`),
        /// when the profile makes one: true when the blocker is off.
        std::optional<bool> popupBlockerOff;
    };
    /// Reads prefs.js, then user.js (which Firefox applies after it).
    static Preferences preferences(const QString& profileDir);
};

} // namespace platform::linuxp
