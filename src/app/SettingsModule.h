#pragma once

#include <QHash>
#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

#include "platform/Platform.h"
#include "watch/Feedback.h"

namespace controls {
class CheckBox;
}
namespace dialer {
class DialerBlock;
}
namespace keywords {
class KeywordFile;
}
namespace watch {
class BrowserChoice;
}

namespace app {

class MainForm;
class PasswordLock;
class Switches;

// Reading rules of the stored texts. Every value of the store is text; these turn it into
// the numbers the switches and the size limits take.

/// The number that begins a text: blanks (space, tab) skipped, then an optional sign and
/// digits with an optional fraction ("2.6", ".5", "-3"). A text without one counts as 0.
/// More digits than any limit or switch can hold give a number beyond ±1e18.
double numericPrefix(const QString& text);
/// The nearest integer (halves to the even one), kept within ±1e18.
qint64 nearestInteger(double number);
/// The whole text, blanks around it allowed, as an integer (a fraction is rounded); nothing
/// when the text is not a number, the empty text included.
std::optional<qint64> integerText(const QString& text);
/// A size limit from a number: rounded; a number that a 16-bit signed limit cannot hold
/// counts as no number at all, 0.
qint16 limitFromNumber(double number);
/// A number as the size boxes show it: decimal, no exponent, no trailing zeros.
QString numberText(double number);

// Loading and saving of the options in the per-user settings store.
class SettingsModule {
public:
    SettingsModule(MainForm& form, platform::Platform& platform, watch::RuleSettings& rules,
                   Switches& switches, PasswordLock& lock, dialer::DialerBlock& dialerBlock,
                   const keywords::KeywordFile& keywordFile, watch::BrowserChoice& browserChoice);
    /// Reads every setting and applies it to the switches, in the fixed order. A value that
    /// a switch does not take stops the loading at that key. The browser choice is read
    /// whatever happened before it: a browser is always watched.
    void load();
    /// Writes every setting back, in the fixed order.
    void save();

    /// Application name under which the settings are stored.
    static QString applicationName() { return QStringLiteral("Tavrel"); }

private:
    struct Entry {
        QString section;
        QString key;
        QString value;
    };
    /// Applies the stored values in order; the key that stopped the loading, or nothing.
    QString applyStored();
    /// Applies the browser choice; a stored value not taken is held.
    void applyBrowserChoice();
    /// What a save writes now, in its order.
    std::vector<Entry> valuesToSave() const;
    QString read(const QString& section, const QString& key, const QString& missing) const;
    void write(const QString& section, const QString& key, const QString& value);
    /// Reads a `Config` switch key with the numeric rule and sets the switch; false when the
    /// switch does not take the value. A missing key reads as `missing`.
    bool loadSwitch(controls::CheckBox& box, const QString& key,
                    const QString& missing = QString());
    void saveSwitch(const QString& section, const QString& key, const controls::CheckBox& box);

    MainForm& f;
    platform::Platform& m_p;
    watch::RuleSettings& m_rules;
    Switches& m_switches;
    PasswordLock& m_lock;
    dialer::DialerBlock& m_dialerBlock;
    const keywords::KeywordFile& m_keywordFile;
    watch::BrowserChoice& m_browserChoice;
    /// Keys the loader did not apply, with what the window showed for them after loading.
    QHash<QString, QString> m_held;
};

} // namespace app
