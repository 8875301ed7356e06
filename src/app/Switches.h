#pragma once

#include "platform/Platform.h"
#include "watch/Feedback.h"

#include <QChar>
#include <QString>

namespace dialer {
class DialerBlock;
}

namespace app {

class MainForm;

// The change rules of the option switches, the size boxes' input rule, the sound chooser
// and the closure sound.
class Switches {
public:
    Switches(MainForm& form, platform::Platform& platform, watch::RuleSettings& rules,
             dialer::DialerBlock& dialerBlock);

    // The change rules. Each size protection needs its detection: switching a size protection
    // on switches its detection on, and switching a detection off switches its size protection
    // off.
    void popupRuleChanged();
    void popupSizeRuleChanged();
    void keywordScanChanged();
    void sizeScanChanged();
    void soundChanged();
    void dialerBlockChanged();

    /// The sound file played at each closure.
    const QString& soundFile() const { return m_soundFile; }
    void setSoundFile(const QString& path) { m_soundFile = path; }
    /// Plays the closure sound when the sound switch is on; returns when it has played.
    void playClosureSound();
    /// The "..." button beside the sound file: chooses a sound and saves it at once.
    void chooseSound();
    /// Input rule of the size boxes: digits and backspace only.
    static bool acceptsSizeKey(QChar key);

private:
    MainForm& f;
    platform::Platform& m_p;
    watch::RuleSettings& m_rules;
    dialer::DialerBlock& m_dialerBlock;
    QString m_soundFile;
};

} // namespace app
