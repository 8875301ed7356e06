#pragma once

namespace app {

class FrmMain;

// The change rules of the option switches, the size boxes' input rule, the sound chooser
// and the closure sound.
class Switches {
public:
    explicit Switches(FrmMain& f);
    /// Plays the closure sound when the sound switch is on; returns when it has played.
    void PlayClosureSound();

private:
    FrmMain& f;
};

} // namespace app
