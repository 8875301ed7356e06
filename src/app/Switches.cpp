#include "app/Switches.h"

#include "app/FrmMain.h"
#include "app/SettingsModule.h"
#include "dialer/DialerBlock.h"

namespace app {

Switches::Switches(FrmMain& form) : f(form) {
    f.popupRuleSwitch.onClick = [this] { chkActive_Click(); };
    f.popupSizeRuleSwitch.onClick = [this] { ChkFen_Click(); };
    f.keywordScanSwitch.onClick = [this] { Check2_Click(); };
    f.sizeScanSwitch.onClick = [this] { ChkFenMotCle_Click(); };
    f.soundSwitch.onClick = [this] { Check1_Click(); };
    f.dialerBlockSwitch.onClick = [this] { chkDial_Click(); };
    f.widthBox.onKeyPress = [](QChar key) { return acceptsSizeKey(key); };
    f.heightBox.onKeyPress = [](QChar key) { return acceptsSizeKey(key); };
    f.chooseSoundButton.onClick = [this] { Command2_Click(); };
}

// Each size protection needs its detection: switching a size protection on switches its
// detection on, and switching a detection off switches its size protection off.

void Switches::chkActive_Click() {
    f.gAutoClose = f.popupRuleSwitch.value() == 1;
    if (f.popupRuleSwitch.value() == 0 && f.popupSizeRuleSwitch.value() == 1)
        f.popupSizeRuleSwitch.setValue(0);
}

void Switches::ChkFen_Click() {
    if (f.popupSizeRuleSwitch.value() == 1 && f.popupRuleSwitch.value() == 0)
        f.popupRuleSwitch.setValue(1);
}

void Switches::Check2_Click() {
    f.keywordScanTimer.setEnabled(f.keywordScanSwitch.value() != 0);
    if (f.keywordScanSwitch.value() == 0 && f.sizeScanSwitch.value() == 1)
        f.sizeScanSwitch.setValue(0);
}

void Switches::ChkFenMotCle_Click() {
    f.sizeScanTimer.setEnabled(f.sizeScanSwitch.value() != 0);
    if (f.sizeScanSwitch.value() == 1 && f.keywordScanSwitch.value() == 0)
        f.keywordScanSwitch.setValue(1);
}

void Switches::Check1_Click() {
    const bool on = f.soundSwitch.value() != 0;
    f.soundFileBox.setEnabled(on);
    f.chooseSoundButton.setEnabled(on);
}

void Switches::chkDial_Click() {
    f.dialerBlock().SetDialerBlock(f.dialerBlockSwitch.value());
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
    f.soundFileBox.setText(*chosen);
    f.gSoundFile = *chosen;
    auto& store = f.platform().settings;
    const QString app = SettingsModule::applicationName();
    store.setValue(app, QStringLiteral("Config"), QStringLiteral("SonOK"),
                   QString::number(f.soundSwitch.value()));
    store.setValue(app, QStringLiteral("Config"), QStringLiteral("NomSon"), *chosen);
}

void Switches::PlayClosureSound() {
    if (f.soundSwitch.value() != 1)
        return;
    auto& sound = f.platform().sound;
    if (!sound.play(f.gSoundFile))
        sound.playDefault();
}

} // namespace app
