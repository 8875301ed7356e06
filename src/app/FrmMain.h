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
    controls::TabControl SSTab1{
        this,
        "SSTab1",
        {"Mots Clés", "Journal", "Configuration", "Statistiques", "Cookies", "Anti Spy", "Aide"}};
    controls::Frame Frame2{this, "Frame2",
                           "Fenétres IE en cours de navigation (Protection par mots clés)"};
    controls::ListView ListView1{this, "ListView1"};
    controls::Button Command3{this, "Command3", "Ajouter l'&URL"};
    controls::Button Command6{this, "Command6", "Ajouter le &Nom"};
    controls::Button Command10{this, "Command10", "&Masquer"};
    controls::Button Command9{this, "Command9", "&Quitter Tavrel"};
    controls::StatusBar Sb{this, "Sb"};
    controls::Picture Image1{this, "Image1"};
    controls::Picture Image2{this, "Image2"};
    controls::Picture imgFlash{this, "imgFlash"}; // lit while a refused pop-up is signalled
    controls::Timer Timer1{this, "Timer1", 500, true};
    controls::Timer Timer2{this, "Timer2", 500, false};
    controls::Timer tmrFlash{this, "tmrFlash", 200, true};

    // Pop-up menu of the notification-area icon.
    controls::MenuItem Mnu_Fichier{this, "Mnu_Fichier", "&Fichier"};
    controls::MenuItem Mnu_MdP{this, "Mnu_MdP", "Entrer le mot de passe"};
    controls::MenuItem sep1{this, "sep1", "-", true};
    controls::MenuItem CmdIconize{this, "CmdIconize", "Masquer"};
    controls::MenuItem sep2{this, "sep2", "-", true};
    controls::MenuItem Mnu_Apropos{this, "Mnu_Apropos", "A  propos"};
    controls::MenuItem sep3{this, "sep3", "-", true};
    controls::MenuItem quit{this, "quit", "Quitter"};

    // --- Tab 0 "Mots Clés" -----------------------------------------------------------------
    controls::Frame Frame3{this, "Frame3",
                           "Fermer les adresses Url ou les titres de pages contenant : "};
    controls::ListView ListView3{this, "ListView3"};
    controls::Button Command5{this, "Command5", "Ajouter"};
    controls::Button Command7{this, "Command7", "Modifier"};
    controls::Button Command8{this, "Command8", "Supprimer"};
    controls::Button Command19{this, "Command19", "Enregistrer la liste des mots clés"};

    // --- Tab 1 "Journal" -------------------------------------------------------------------
    controls::Label Label2{this, "Label2", "Journal de suppression par mots clés"};
    controls::ListView ListView4{this, "ListView4"};
    controls::Button Command1{this, "Command1", "Relancer cette Url et supprimer le mot clé"};
    controls::Label Label6{this, "Label6", "Total des fenêtres fermées "};
    controls::ListView ListView5{this, "ListView5"};

    // --- Tab 2 "Configuration" -------------------------------------------------------------
    controls::Frame Frame4{this, "Frame4", "Options "};
    controls::CheckBox chkStartOnWin{this, "chkStartOnWin", "Lancer au démarrage de Windows"};
    controls::CheckBox chkActive{this, "chkActive", "Activer la détection automatique de Tavrel"};
    controls::CheckBox Check2{this, "Check2", "Activer la détection par mots clés de Tavrel"};
    controls::CheckBox chkDial{this, "chkDial",
                               "Interdire les téléchargements automatiques  par Dialer"};
    controls::CheckBox ChkMasq{this, "ChkMasq", "Masquer automatiquement au lancement"};
    controls::CheckBox ChkPass{this, "ChkPass", "Protéger la configuration par mot de passe"};
    controls::CheckBox ChkFen{
        this, "ChkFen", "Activer la protection par taille de fenêtre (détection automatique)"};
    controls::CheckBox ChkFenMotCle{
        this, "ChkFenMotCle",
        "Activer la protection par taille de fenêtre (détection par mots clés)"};
    controls::Frame Frame6{this, "Frame6", "Fenêtre en pixels "};
    controls::Label Label7{this, "Label7", "Largeur :"};
    controls::TextBox TxtLarge{this, "TxtLarge"};
    controls::Label Label8{this, "Label8", "Hauteur :"};
    controls::TextBox TxtHaut{this, "TxtHaut"};
    controls::Frame Frame1{this, "Frame1", "Alerte sonore"};
    controls::CheckBox Check1{this, "Check1", "Jouer un son à la fermeture des fenêtres"};
    controls::Label Label1{this, "Label1", "Fichier son :"};
    controls::TextBox Text1{this, "Text1"};
    controls::Button Command2{this, "Command2", "..."};
    controls::Frame Frame7{this, "Frame7", "Mot de passe "};
    controls::TextBox TxtPass{this, "TxtPass"};
    controls::Button Command18{this, "Command18", "&OK"};
    controls::Frame Frame5{this, "Frame5", "Fichier mots clés (Fichier hosts) "};
    controls::Label Label10{this, "Label10", "Fichier :"};
    controls::Label LblMotCle{this, "LblMotCle"};
    controls::Button Command21{this, "Command21", "..."};
    controls::Button Command11{this, "Command11", "&A Propos"};
    controls::Button Command20{this, "Command20", "&Enregistrer la configuration"};

    // --- Tab 3 "Statistiques" --------------------------------------------------------------
    controls::Label Label3{this, "Label3", "Statistiques des fenêtres fermées par mots clés"};
    controls::ListView ListView2{this, "ListView2"};

    // --- Tab 4 "Cookies" -------------------------------------------------------------------
    controls::Label Label4{this, "Label4", "Dossier Cookies :"};
    controls::TextBox txtCookieDir{this, "txtCookieDir"};
    controls::ListView lstCookies{this, "lstCookies"};
    controls::Button Command12{this, "Command12", "Tout sélectionner"};
    controls::Button Command13{this, "Command13", "&Désélectionner"};
    controls::Button Command14{this, "Command14", "Inverser la sélection"};
    controls::Button Command15{this, "Command15", "Supprimer les cookies"};
    controls::Button Command16{this, "Command16", "./."};
    controls::Button Command17{this, "Command17", "Options &Internet"};
    controls::Label Label5{this, "Label5", "Analyse"};
    controls::TextBox rtf{this, "rtf"};
    controls::ListView Lst_Cook{this, "Lst_Cook"};

    // --- Tab 5 "Anti Spy" ------------------------------------------------------------------
    controls::Frame fraFilters{this, "fraFilters", "Fichiers Spyware connus"};
    controls::ListBox lstFilters{this, "lstFilters"};
    controls::Label Label9{this, "Label9", "Texte à ajouter à la liste :"};
    controls::TextBox txtFilter{this, "txtFilter"};
    controls::Button cmdAddFilter{this, "cmdAddFilter", "Ajouter"};
    controls::Button cmdDeleteFilter{this, "cmdDeleteFilter", "Supprimer"};
    controls::Button Command4{this, "Command4", "Sauver"};
    controls::Frame fraActions{this, "fraActions", "Recherche dans les dossiers"};
    controls::DriveList drvStart{this, "drvStart"};
    controls::FolderList dirStart{this, "dirStart"};
    controls::CheckBox chkRecurse{this, "chkRecurse", "Recherche dans les sous dossiers"};
    controls::Button cmdFind{this, "cmdFind", "&Rechercher les Spywares"};
    controls::Button Command22{this, "Command22", "Stop"};
    controls::ListBox lstFiles{this, "lstFiles"};
    controls::Button cmdSelAll{this, "cmdSelAll", "Tout sélectionner"};
    controls::Button cmdDeSelAll{this, "cmdDeSelAll", "Tout désélectionner"};
    controls::Button cmdDelete{this, "cmdDelete", "Supprimer les Spywares trouvés"};
    controls::Label lblWarnSearch{
        this, "lblWarnSearch",
        "Attention : Pendant la recherche de fichiers Spywares, NE PAS LANCER d'autres "
        "applications Windows avant que la recherche ne soit terminée. Risque d'erreur et "
        "d'arrêt du programme."};
    controls::Label lblWarnDelete{
        this, "lblWarnDelete",
        "Attention à l'utilisation de l'Anti Spy : Supprimer des fichiers peut causer des "
        "pertes irréversibles au système d'exploitation. Ne supprimer les fichiers que "
        "lorsque vous êtes sur que ces fichiers ne sont pas des fichiers apartenant au "
        "système d'exploitation."};
    controls::Frame fraRegistry{this, "fraRegistry", "Base de registre"};
    controls::Button cmdCheckUp{this, "cmdCheckUp", "Lancer la recherche"};
    controls::Label lblFuture{this, "lblFuture", "Fonction future"};

    // --- Tab 6 "Aide" ----------------------------------------------------------------------
    controls::TextBox TxtAide{this, "TxtAide"};

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
