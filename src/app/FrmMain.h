#pragma once

#include "controls/FolderList.h"
#include "controls/ListView.h"
#include "controls/Simple.h"
#include "platform/Platform.h"

#include <array>
#include <memory>

namespace watch {
class cIEWindows;
class KeywordScan;
class SizeScan;
} // namespace watch
namespace keywords {
class KeywordFile;
class Statistics;
class ListViews;
class KeywordCommands;
class Saving;
} // namespace keywords
namespace cookies {
class CookieManager;
}
namespace antispy {
class SpyList;
class FileSearch;
class RegistrySearch;
} // namespace antispy
namespace dialer {
class DialerBlock;
}
namespace about {
class FrmAbout;
}

namespace app {

class SettingsModule;
class Switches;
class PasswordLock;
class TaskBarIcon;
class StartWithSession;
class HelpText;

// The main window: its controls, the program-wide values the modules share, and the start-up,
// activation and close steps. The handlers live in the modules of each subsystem.
class FrmMain : public controls::Form {
    Q_OBJECT
public:
    explicit FrmMain(platform::Platform& platform);
    ~FrmMain() override;

    platform::Platform& platform() const { return m_platform; }

    // --- Start-up, activation, closing -------------------------------------------------
    /// Load step: runs every loader in its order; a failing loader stops itself only.
    void Form_Load();
    /// Shows the window as an ordinary window and runs the activation step.
    void show();
    /// The window became the program's active window.
    void Form_Activate();
    /// A request to close the main window (close box or from outside).
    void closeRequest();
    /// Ends the process at once.
    [[noreturn]] void endNow();

    // --- Controls outside the tabs -------------------------------------------------------
    controls::TabControl tabs{
        this,
        "SSTab1",
        {"Mots Clés", "Journal", "Configuration", "Statistiques", "Cookies", "Anti Spy", "Aide"}};
    controls::Frame windowListFrame{
        this, "Frame2", "Fenétres IE en cours de navigation (Protection par mots clés)"};
    controls::ListView windowListView{this, "ListView1"};
    controls::Button addUrlButton{this, "Command3", "Ajouter l'&URL"};
    controls::Button addPageNameButton{this, "Command6", "Ajouter le &Nom"};
    controls::Button hideButton{this, "Command10", "&Masquer"};
    controls::Button quitButton{this, "Command9", "&Quitter Tavrel"};
    controls::StatusBar statusBar{this, "Sb"};
    controls::Picture hidePicture{this, "Image1"};
    controls::Picture aboutPicture{this, "Image2"};
    controls::Picture flashPicture{this, "imgFlash"}; // lit while a refused pop-up is signalled
    controls::Timer keywordScanTimer{this, "Timer1", 500, true};
    controls::Timer sizeScanTimer{this, "Timer2", 500, false};
    controls::Timer flashTimer{this, "tmrFlash", 200, true};

    // Pop-up menu of the notification-area icon.
    controls::MenuItem trayMenu{this, "Mnu_Fichier", "&Fichier"};
    controls::MenuItem passwordMenuItem{this, "Mnu_MdP", "Entrer le mot de passe"};
    controls::MenuItem traySeparator1{this, "sep1", "-", true};
    controls::MenuItem hideShowMenuItem{this, "CmdIconize", "Masquer"};
    controls::MenuItem traySeparator2{this, "sep2", "-", true};
    controls::MenuItem aboutMenuItem{this, "Mnu_Apropos", "A  propos"};
    controls::MenuItem traySeparator3{this, "sep3", "-", true};
    controls::MenuItem quitMenuItem{this, "quit", "Quitter"};

    // --- Tab 0 "Mots Clés" -----------------------------------------------------------------
    controls::Frame keywordFrame{this, "Frame3",
                                 "Fermer les adresses Url ou les titres de pages contenant : "};
    controls::ListView keywordListView{this, "ListView3"};
    controls::Button addKeywordButton{this, "Command5", "Ajouter"};
    controls::Button editKeywordButton{this, "Command7", "Modifier"};
    controls::Button deleteKeywordButton{this, "Command8", "Supprimer"};
    controls::Button saveKeywordsButton{this, "Command19", "Enregistrer la liste des mots clés"};

    // --- Tab 1 "Journal" -------------------------------------------------------------------
    controls::Label journalLabel{this, "Label2", "Journal de suppression par mots clés"};
    controls::ListView journalView{this, "ListView4"};
    controls::Button reopenUrlButton{this, "Command1",
                                     "Relancer cette Url et supprimer le mot clé"};
    controls::Label totalsLabel{this, "Label6", "Total des fenêtres fermées "};
    controls::ListView totalsView{this, "ListView5"};

    // --- Tab 2 "Configuration" -------------------------------------------------------------
    controls::Frame optionsFrame{this, "Frame4", "Options "};
    controls::CheckBox startWithSessionSwitch{this, "chkStartOnWin",
                                              "Lancer au démarrage de Windows"};
    controls::CheckBox popupRuleSwitch{this, "chkActive",
                                       "Activer la détection automatique de Tavrel"};
    controls::CheckBox keywordScanSwitch{this, "Check2",
                                         "Activer la détection par mots clés de Tavrel"};
    controls::CheckBox dialerBlockSwitch{this, "chkDial",
                                         "Interdire les téléchargements automatiques  par Dialer"};
    controls::CheckBox autoHideSwitch{this, "ChkMasq", "Masquer automatiquement au lancement"};
    controls::CheckBox passwordLockSwitch{this, "ChkPass",
                                          "Protéger la configuration par mot de passe"};
    controls::CheckBox popupSizeRuleSwitch{
        this, "ChkFen", "Activer la protection par taille de fenêtre (détection automatique)"};
    controls::CheckBox sizeScanSwitch{
        this, "ChkFenMotCle",
        "Activer la protection par taille de fenêtre (détection par mots clés)"};
    controls::Frame sizeFrame{this, "Frame6", "Fenêtre en pixels "};
    controls::Label widthLabel{this, "Label7", "Largeur :"};
    controls::TextBox widthBox{this, "TxtLarge"};
    controls::Label heightLabel{this, "Label8", "Hauteur :"};
    controls::TextBox heightBox{this, "TxtHaut"};
    controls::Frame soundFrame{this, "Frame1", "Alerte sonore"};
    controls::CheckBox soundSwitch{this, "Check1", "Jouer un son à la fermeture des fenêtres"};
    controls::Label soundFileLabel{this, "Label1", "Fichier son :"};
    controls::TextBox soundFileBox{this, "Text1"};
    controls::Button chooseSoundButton{this, "Command2", "..."};
    controls::Frame passwordFrame{this, "Frame7", "Mot de passe "};
    controls::TextBox passwordBox{this, "TxtPass"};
    controls::Button setPasswordButton{this, "Command18", "&OK"};
    controls::Frame keywordFileFrame{this, "Frame5", "Fichier mots clés (Fichier hosts) "};
    controls::Label keywordFileLabel{this, "Label10", "Fichier :"};
    controls::Label keywordFilePathLabel{this, "LblMotCle"};
    controls::Button chooseKeywordFileButton{this, "Command21", "..."};
    controls::Button aboutButton{this, "Command11", "&A Propos"};
    controls::Button saveSettingsButton{this, "Command20", "&Enregistrer la configuration"};

    // --- Tab 3 "Statistiques" --------------------------------------------------------------
    controls::Label statisticsLabel{this, "Label3",
                                    "Statistiques des fenêtres fermées par mots clés"};
    controls::ListView statisticsView{this, "ListView2"};

    // --- Tab 4 "Cookies" -------------------------------------------------------------------
    controls::Label cookieFolderLabel{this, "Label4", "Dossier Cookies :"};
    controls::TextBox cookieFolderBox{this, "txtCookieDir"};
    controls::ListView cookieFileView{this, "lstCookies"};
    controls::Button selectAllCookiesButton{this, "Command12", "Tout sélectionner"};
    controls::Button deselectCookiesButton{this, "Command13", "&Désélectionner"};
    controls::Button invertCookieSelectionButton{this, "Command14", "Inverser la sélection"};
    controls::Button deleteCookiesButton{this, "Command15", "Supprimer les cookies"};
    controls::Button refreshCookiesButton{this, "Command16", "./."};
    controls::Button internetOptionsButton{this, "Command17", "Options &Internet"};
    controls::Label analysisLabel{this, "Label5", "Analyse"};
    controls::TextBox analysisBox{this, "rtf"};
    controls::ListView cookieRecordView{this, "Lst_Cook"};

    // --- Tab 5 "Anti Spy" ------------------------------------------------------------------
    controls::Frame spyNamesFrame{this, "fraFilters", "Fichiers Spyware connus"};
    controls::ListBox spyNameList{this, "lstFilters"};
    controls::Label spyNameLabel{this, "Label9", "Texte à ajouter à la liste :"};
    controls::TextBox spyNameBox{this, "txtFilter"};
    controls::Button addSpyNameButton{this, "cmdAddFilter", "Ajouter"};
    controls::Button deleteSpyNameButton{this, "cmdDeleteFilter", "Supprimer"};
    controls::Button saveSpyNamesButton{this, "Command4", "Sauver"};
    controls::Frame searchFrame{this, "fraActions", "Recherche dans les dossiers"};
    controls::DriveList driveList{this, "drvStart"};
    controls::FolderList folderList{this, "dirStart"};
    controls::CheckBox recurseSwitch{this, "chkRecurse", "Recherche dans les sous dossiers"};
    controls::Button findSpywareButton{this, "cmdFind", "&Rechercher les Spywares"};
    controls::Button stopSearchButton{this, "Command22", "Stop"};
    controls::ListBox foundFileList{this, "lstFiles"};
    controls::Button selectAllFoundButton{this, "cmdSelAll", "Tout sélectionner"};
    controls::Button deselectAllFoundButton{this, "cmdDeSelAll", "Tout désélectionner"};
    controls::Button deleteFoundButton{this, "cmdDelete", "Supprimer les Spywares trouvés"};
    controls::Label searchWarningLabel{
        this, "lblWarnSearch",
        "Attention : Pendant la recherche de fichiers Spywares, NE PAS LANCER d'autres "
        "applications Windows avant que la recherche ne soit terminée. Risque d'erreur et "
        "d'arrêt du programme."};
    controls::Label deleteWarningLabel{
        this, "lblWarnDelete",
        "Attention à l'utilisation de l'Anti Spy : Supprimer des fichiers peut causer des "
        "pertes irréversibles au système d'exploitation. Ne supprimer les fichiers que "
        "lorsque vous êtes sur que ces fichiers ne sont pas des fichiers apartenant au "
        "système d'exploitation."};
    controls::Frame registryFrame{this, "fraRegistry", "Base de registre"};
    controls::Button registrySearchButton{this, "cmdCheckUp", "Lancer la recherche"};
    controls::Label futureLabel{this, "lblFuture", "Fonction future"};

    // --- Tab 6 "Aide" ----------------------------------------------------------------------
    controls::TextBox helpBox{this, "TxtAide"};

    // --- Program-wide values ---------------------------------------------------------------
    /// Closure totals of this run: keyword scan, automatic rule, size scan, size rule.
    std::array<qint64, 4> gClosureTotals{0, 0, 0, 0};
    bool gAutoClose = false;
    qint16 gLimitWidth = 250;
    qint16 gLimitHeight = 150;
    QString gSoundFile;
    QString gPassword;
    QString gKeywordFile;
    /// Target of the next close request; shared by the two scans.
    platform::WindowHandle LeHwnd = 0;

    // --- Modules -------------------------------------------------------------------------
    watch::cIEWindows* IEWin = nullptr;
    SettingsModule& settings() { return *m_settings; }
    Switches& switches() { return *m_switches; }
    PasswordLock& passwordLock() { return *m_passwordLock; }
    TaskBarIcon& taskBarIcon() { return *m_taskBarIcon; }
    StartWithSession& startWithSession() { return *m_startWithSession; }
    HelpText& helpText() { return *m_helpText; }
    watch::KeywordScan& keywordScan() { return *m_keywordScan; }
    watch::SizeScan& sizeScan() { return *m_sizeScan; }
    keywords::KeywordFile& keywordFile() { return *m_keywordFile; }
    keywords::Statistics& statistics() { return *m_statistics; }
    keywords::ListViews& listViews() { return *m_listViews; }
    keywords::KeywordCommands& keywordCommands() { return *m_keywordCommands; }
    keywords::Saving& saving() { return *m_saving; }
    cookies::CookieManager& cookieManager() { return *m_cookieManager; }
    antispy::SpyList& spyList() { return *m_spyList; }
    antispy::FileSearch& fileSearch() { return *m_fileSearch; }
    antispy::RegistrySearch& registrySearch() { return *m_registrySearch; }
    dialer::DialerBlock& dialerBlock() { return *m_dialerBlock; }
    /// Opens the About box modally.
    void showAbout();

    /// Path of a file in the program folder.
    QString programFile(const QString& name) const;

private:
    platform::Platform& m_platform;
    bool m_activatedOnce = false;
    std::unique_ptr<watch::cIEWindows> m_ieWindows;
    std::unique_ptr<SettingsModule> m_settings;
    std::unique_ptr<Switches> m_switches;
    std::unique_ptr<PasswordLock> m_passwordLock;
    std::unique_ptr<TaskBarIcon> m_taskBarIcon;
    std::unique_ptr<StartWithSession> m_startWithSession;
    std::unique_ptr<HelpText> m_helpText;
    std::unique_ptr<watch::KeywordScan> m_keywordScan;
    std::unique_ptr<watch::SizeScan> m_sizeScan;
    std::unique_ptr<keywords::KeywordFile> m_keywordFile;
    std::unique_ptr<keywords::Statistics> m_statistics;
    std::unique_ptr<keywords::ListViews> m_listViews;
    std::unique_ptr<keywords::KeywordCommands> m_keywordCommands;
    std::unique_ptr<keywords::Saving> m_saving;
    std::unique_ptr<cookies::CookieManager> m_cookieManager;
    std::unique_ptr<antispy::SpyList> m_spyList;
    std::unique_ptr<antispy::FileSearch> m_fileSearch;
    std::unique_ptr<antispy::RegistrySearch> m_registrySearch;
    std::unique_ptr<dialer::DialerBlock> m_dialerBlock;
};

/// Adds "/" to a path unless it already ends with one.
QString AddBackslash(const QString& path);

} // namespace app
