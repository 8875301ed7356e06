#include "app/Switches.h"

#include "app/FrmMain.h"

namespace app {

Switches::Switches(FrmMain& form) : f(form) {
    f.Check2.onClick = [this] { f.Timer1.setEnabled(f.Check2.value() != 0); };
}

void Switches::PlayClosureSound() {
    if (f.Check1.value() != 1)
        return;
    auto& sound = f.platform().sound;
    if (!sound.play(f.gSoundFile))
        sound.playDefault();
}

} // namespace app
