#include "app/FrmMain.h"

#include <cstdlib>

#include "about/FrmAbout.h"
#include "antispy/FileSearch.h"
#include "antispy/RegistrySearch.h"
#include "antispy/SpyList.h"
#include "app/HelpText.h"
#include "app/PasswordLock.h"
#include "app/SettingsModule.h"
#include "app/StartWithSession.h"
#include "app/Switches.h"
#include "app/TaskBarIcon.h"
#include "cookies/CookieManager.h"
#include "dialer/DialerBlock.h"
#include "keywords/KeywordCommands.h"
#include "keywords/KeywordFile.h"
#include "keywords/ListViews.h"
#include "keywords/Saving.h"
#include "keywords/Statistics.h"
#include "watch/IEWindows.h"
#include "watch/KeywordScan.h"
#include "watch/SizeScan.h"

namespace app {

QString AddBackslash(const QString& path) {
    return path.endsWith(u'/') ? path : path + u'/';
}

FrmMain::FrmMain(platform::Platform& platform)
    : controls::Form(QStringLiteral("FrmMain"), QStringLiteral("Tavrel")), m_platform(platform) {
    // Design state of the controls.
    addUrlButton.setEnabled(false);
    addPageNameButton.setEnabled(false);
    hideButton.setToolTip(QStringLiteral("Masque Tavrel dans la barre des tâches"));
    quitButton.setToolTip(QStringLiteral("Quitte définitivement Tavrel"));
    hidePicture.setToolTip(QStringLiteral("Masquer dans la barre des tâches"));
    aboutPicture.setToolTip(QStringLiteral("A Propos"));
    addKeywordButton.setToolTip(QStringLiteral("Ajoute manuellement un mot clé"));
    addUrlButton.setToolTip(
        QStringLiteral("Ajouter l'adresse URL sélectionné à la liste des mots clés"));
    addPageNameButton.setToolTip(
        QStringLiteral("Ajouter le nom sélectionné à la liste des mots clés"));
    editKeywordButton.setToolTip(QStringLiteral("Modifie le mot clé sélectionné"));
    deleteKeywordButton.setToolTip(QStringLiteral("Supprime le mot clé sélectionné"));
    sizeFrame.setToolTip(QStringLiteral("Dimension taille fenêtre"));
    for (controls::TextBox* box : {&widthBox, &heightBox}) {
        box->setToolTip(QStringLiteral("Dimension en pixels"));
        box->setMaxLength(3);
    }
    widthBox.setText(QStringLiteral("250"));
    heightBox.setText(QStringLiteral("150"));
    chooseSoundButton.setToolTip(QStringLiteral("Parcourir..."));
    passwordBox.setPassword(true);
    passwordBox.setToolTip(QStringLiteral("Changer le mot de passe"));
    setPasswordButton.setToolTip(QStringLiteral("Valide le mot de passe"));
    chooseKeywordFileButton.setToolTip(QStringLiteral("Choix du fichier mots clés (Hosts)"));
    helpBox.setMultiLine(true);
    helpBox.setReadOnly(true);

    m_settings = std::make_unique<SettingsModule>(*this);
    m_switches = std::make_unique<Switches>(*this);
    m_passwordLock = std::make_unique<PasswordLock>(*this);
    m_taskBarIcon = std::make_unique<TaskBarIcon>(*this);
    m_startWithSession = std::make_unique<StartWithSession>(*this);
    m_helpText = std::make_unique<HelpText>(*this);
    m_keywordScan = std::make_unique<watch::KeywordScan>(*this);
    m_sizeScan = std::make_unique<watch::SizeScan>(*this);
    m_keywordFile = std::make_unique<keywords::KeywordFile>(*this);
    m_statistics = std::make_unique<keywords::Statistics>(*this);
    m_listViews = std::make_unique<keywords::ListViews>(*this);
    m_keywordCommands = std::make_unique<keywords::KeywordCommands>(*this);
    m_saving = std::make_unique<keywords::Saving>(*this);
    m_cookieManager = std::make_unique<cookies::CookieManager>(*this);
    m_spyList = std::make_unique<antispy::SpyList>(*this);
    m_fileSearch = std::make_unique<antispy::FileSearch>(*this);
    m_registrySearch = std::make_unique<antispy::RegistrySearch>(*this);
    m_dialerBlock = std::make_unique<dialer::DialerBlock>(*this);

    hideShowMenuItem.onClick = [this] { m_taskBarIcon->CmdIconize_Click(); };
    aboutPicture.onClick = [this] { showAbout(); };
    aboutButton.onClick = [this] { showAbout(); };
    aboutMenuItem.onClick = [this] { showAbout(); };
}

FrmMain::~FrmMain() = default;

QString FrmMain::programFile(const QString& name) const {
    return AddBackslash(m_platform.files.programFolder()) + name;
}

void FrmMain::showAbout() {
    about::openAbout(*this);
}

void FrmMain::Form_Load() {
    m_taskBarIcon->setToolTip(QStringLiteral("Tavrel"));
    tabs.setCurrent(0);
    m_ieWindows = std::make_unique<watch::cIEWindows>(*this);
    IEWin = m_ieWindows.get();
    gClosureTotals = {0, 0, 0, 0};
    m_listViews->PreparListeView();
    m_helpText->Charg_Aide();
    m_cookieManager->Charge_Cookie();
    m_keywordFile->Charge_Mot_Cle();
    m_statistics->LoadStatistics();
    m_settings->Charge_Settings();
    m_fileSearch->setStartFolderToRoot();
    m_spyList->loadAtStartup();
}

void FrmMain::show() {
    setVisible(true);
    Form_Activate();
}

void FrmMain::Form_Activate() {
    m_startWithSession->readBack();
    // The auto-hide runs at the first showing only: later activations (the window shown
    // again from the tray, the focus back from a dialog) would hide it again at once.
    const bool first = !m_activatedOnce;
    m_activatedOnce = true;
    if (first && autoHideSwitch.value() == 1)
        m_saving->Command10_Click();
}

void FrmMain::closeRequest() {
    m_taskBarIcon->CmdIconize_Click();
    if (m_passwordLock->locked())
        m_passwordLock->closeRequestWhileLocked();
    // Otherwise the close is refused: the main window is never unloaded.
}

void FrmMain::endNow() {
    m_platform.processes.endNow();
    std::abort(); // not reached: ending the process does not return
}

} // namespace app
