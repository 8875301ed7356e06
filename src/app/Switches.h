#pragma once

#include <QChar>

namespace app {

class FrmMain;

// The change rules of the option switches, the size boxes' input rule, the sound chooser
// and the closure sound.
class Switches {
public:
    explicit Switches(FrmMain& f);
    /// Plays the closure sound when the sound switch is on; returns when it has played.
    void PlayClosureSound();
    /// Click of the "..." button beside the sound file: chooses a sound and saves it at once.
    void Command2_Click();
    /// Input rule of the size boxes: digits and backspace only.
    static bool acceptsSizeKey(QChar key);

private:
    void chkActive_Click();
    void ChkFen_Click();
    void Check2_Click();
    void ChkFenMotCle_Click();
    void Check1_Click();
    void chkDial_Click();

    FrmMain& f;
};

} // namespace app
