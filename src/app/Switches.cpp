#include "app/Switches.h"

#include "app/MainForm.h"
#include "app/SettingsModule.h"
#include "dialer/DialerBlock.h"

namespace app {

Switches::Switches(MainForm& form, platform::Platform& platform, watch::RuleSettings& rules,
                   dialer::DialerBlock& dialerBlock)
    : f(form), m_p(platform), m_rules(rules), m_dialerBlock(dialerBlock) {}

void Switches::popupRuleChanged() {
    m_rules.autoClose = f.popupRuleSwitch.value() == 1;
    if (f.popupRuleSwitch.value() == 0 && f.popupSizeRuleSwitch.value() == 1)
        f.popupSizeRuleSwitch.setValue(0);
}

void Switches::popupSizeRuleChanged() {
    if (f.popupSizeRuleSwitch.value() == 1 && f.popupRuleSwitch.value() == 0)
        f.popupRuleSwitch.setValue(1);
}

void Switches::keywordScanChanged() {
    f.keywordScanTimer.setEnabled(f.keywordScanSwitch.value() != 0);
    if (f.keywordScanSwitch.value() == 0 && f.sizeScanSwitch.value() == 1)
        f.sizeScanSwitch.setValue(0);
}

void Switches::sizeScanChanged() {
    f.sizeScanTimer.setEnabled(f.sizeScanSwitch.value() != 0);
    if (f.sizeScanSwitch.value() == 1 && f.keywordScanSwitch.value() == 0)
        f.keywordScanSwitch.setValue(1);
}

void Switches::soundChanged() {
    const bool on = f.soundSwitch.value() != 0;
    f.soundFileBox.setEnabled(on);
    f.chooseSoundButton.setEnabled(on);
}

void Switches::dialerBlockChanged() {
    m_dialerBlock.set(f.dialerBlockSwitch.value());
}

bool Switches::acceptsSizeKey(QChar key) {
    return (key >= u'0' && key <= u'9') || key == QChar(8);
}

void Switches::chooseSound() {
    const std::optional<QString> chosen =
        m_p.dialogs.openFile(QStringLiteral("Choix d'un fichier son .WAV"),
                             m_p.files.shippedFolder(), QStringLiteral("Fichier son Wav|*.wav"));
    if (!chosen || chosen->isEmpty())
        return;
    f.soundFileBox.setText(*chosen);
    m_soundFile = *chosen;
    auto& store = m_p.settings;
    const QString app = SettingsModule::applicationName();
    store.setValue(app, QStringLiteral("Config"), QStringLiteral("SonOK"),
                   QString::number(f.soundSwitch.value()));
    store.setValue(app, QStringLiteral("Config"), QStringLiteral("NomSon"), *chosen);
}

void Switches::playClosureSound() {
    if (f.soundSwitch.value() != 1)
        return;
    auto& sound = m_p.sound;
    if (!sound.play(m_soundFile))
        sound.playDefault();
}

} // namespace app
