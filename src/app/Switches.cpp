#include "app/Switches.h"

#include "app/FrmMain.h"
#include "app/SettingsModule.h"
#include "dialer/DialerBlock.h"

namespace app {

Switches::Switches(FrmMain& form) : f(form) {
    f.chkActive.onClick = [this] { chkActive_Click(); };
    f.ChkFen.onClick = [this] { ChkFen_Click(); };
    f.Check2.onClick = [this] { Check2_Click(); };
    f.ChkFenMotCle.onClick = [this] { ChkFenMotCle_Click(); };
    f.Check1.onClick = [this] { Check1_Click(); };
    f.chkDial.onClick = [this] { chkDial_Click(); };
    f.TxtLarge.onKeyPress = [](QChar key) { return acceptsSizeKey(key); };
    f.TxtHaut.onKeyPress = [](QChar key) { return acceptsSizeKey(key); };
    f.Command2.onClick = [this] { Command2_Click(); };
}

// Each size protection needs its detection: switching a size protection on switches its
// detection on, and switching a detection off switches its size protection off.

void Switches::chkActive_Click() {
    f.gAutoClose = f.chkActive.value() == 1;
    if (f.chkActive.value() == 0 && f.ChkFen.value() == 1)
        f.ChkFen.setValue(0);
}

void Switches::ChkFen_Click() {
    if (f.ChkFen.value() == 1 && f.chkActive.value() == 0)
        f.chkActive.setValue(1);
}

void Switches::Check2_Click() {
    f.Timer1.setEnabled(f.Check2.value() != 0);
    if (f.Check2.value() == 0 && f.ChkFenMotCle.value() == 1)
        f.ChkFenMotCle.setValue(0);
}

void Switches::ChkFenMotCle_Click() {
    f.Timer2.setEnabled(f.ChkFenMotCle.value() != 0);
    if (f.ChkFenMotCle.value() == 1 && f.Check2.value() == 0)
        f.Check2.setValue(1);
}

void Switches::Check1_Click() {
    const bool on = f.Check1.value() != 0;
    f.Text1.setEnabled(on);
    f.Command2.setEnabled(on);
}

void Switches::chkDial_Click() {
    f.dialerBlock().SetDialerBlock(f.chkDial.value());
}

bool Switches::acceptsSizeKey(QChar key) {
    return (key >= u'0' && key <= u'9') || key == QChar(8);
}

void Switches::Command2_Click() {
    const std::optional<QString> chosen = f.platform().dialogs.openFile(
        QStringLiteral("Choix d'un fichier son .WAV"), f.platform().files.programFolder(),
        QStringLiteral("Fichier son Wav|*.wav"));
    if (!chosen || chosen->isEmpty())
        return;
    f.Text1.setText(*chosen);
    f.gSoundFile = *chosen;
    auto& store = f.platform().settings;
    const QString app = SettingsModule::applicationName();
    store.setValue(app, QStringLiteral("Config"), QStringLiteral("SonOK"),
                   QString::number(f.Check1.value()));
    store.setValue(app, QStringLiteral("Config"), QStringLiteral("NomSon"), *chosen);
}

void Switches::PlayClosureSound() {
    if (f.Check1.value() != 1)
        return;
    auto& sound = f.platform().sound;
    if (!sound.play(f.gSoundFile))
        sound.playDefault();
}

} // namespace app
