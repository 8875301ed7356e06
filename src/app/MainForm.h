#pragma once

#include "controls/Chart.h"
#include "controls/FolderList.h"
#include "controls/ListView.h"
#include "controls/Simple.h"

namespace app {

// The main window's controls, as the program reads and sets them, in their tabs. The form
// holds no logic: the program wires its controls to the subsystems (see Program).
class MainForm : public controls::Form {
    Q_OBJECT
public:
    MainForm();

    /// Sets up the columns of the lists (load step).
    void setUpListColumns();

    // --- Controls outside the tabs -------------------------------------------------------
    controls::TabControl tabs{this,
                              "SSTab1",
                              {"Mots Clés", "Journal", "Configuration", "Statistiques", "Cookies",
                               "Anti Spy", "Aide", "Historique"}};
    /// The tabs of the statistics, the cookies and the lasting journal.
    static constexpr int StatisticsTab = 3;
    static constexpr int CookiesTab = 4;
    static constexpr int HistoryTab = 7;
    controls::Frame windowListFrame{
        this, "Frame2", "Fenétres IE en cours de navigation (Protection par mots clés)"};
    controls::ListView windowListView{this, "ListView1"};
    controls::Button addUrlButton{this, "Command3", "Ajouter l'&URL"};
    controls::Button addPageNameButton{this, "Command6", "Ajouter le &Nom"};
    controls::Button hideButton{this, "Command10", "&Masquer"};
    controls::Button quitButton{this, "Command9", "&Quitter Tavrel"};
    controls::StatusBar statusBar{this, "Sb"};
    /// The right part of the status bar: what browser is watched, or why none is.
    controls::Label browserStatusLabel{this, "lblBrowserStatus"};
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
    // Finding a keyword among many, and importing the lists of other blockers.
    controls::TextBox findKeywordBox{this, "txtFindKeyword"};
    controls::Button importListButton{this, "cmdImportList", "Importer une liste..."};

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
    controls::Frame browserFrame{this, "fraBrowser", "Navigateur "};
    controls::Label browserLabel{this, "lblBrowser", "Navigateur surveillé :"};
    controls::ComboBox browserBox{this, "cboBrowser"};
    controls::CheckBox ownProfileSwitch{this, "chkOwnProfile",
                                        "Utiliser mon profil habituel du navigateur"};
    controls::Button aboutButton{this, "Command11", "&A Propos"};
    controls::Button saveSettingsButton{this, "Command20", "&Enregistrer la configuration"};

    // --- Tab 3 "Statistiques" --------------------------------------------------------------
    controls::Label statisticsLabel{this, "Label3",
                                    "Statistiques des fenêtres fermées par mots clés"};
    controls::ListView statisticsView{this, "ListView2"};
    // Finding a keyword's count, and the statistics at a glance.
    controls::TextBox findStatisticBox{this, "txtFindStatistic"};
    controls::Chart statisticsChart{this, "chtStatistics"};
    controls::Button saveChartButton{this, "cmdSaveChart", "Enregistrer l'image..."};

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
    /// Writes the selected sites' cookies to a cookies.txt file.
    controls::Button exportCookiesButton{this, "cmdExportCookies", "Exporter..."};

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

    // --- Sites always allowed, notices, the lasting journal ------------------------------
    // "Mots Clés": the sites no rule closes or refuses.
    controls::Frame sitesFrame{this, "fraSitesAllowed", "Sites toujours autorisés "};
    controls::TextBox siteBox{this, "txtSiteAllowed"};
    controls::Button allowSiteButton{this, "cmdAllowSite", "Autoriser"};
    controls::Button removeSiteButton{this, "cmdRemoveSite", "Retirer"};
    controls::ListView siteListView{this, "lstSitesAllowed"};
    // "Journal": allows the site of the selected row.
    controls::Button allowJournalSiteButton{this, "cmdAllowJournalSite",
                                            "Toujours autoriser ce site"};
    // "Configuration".
    controls::CheckBox noticeSwitch{this, "chkNotices",
                                    "Afficher une notification à chaque fermeture"};
    controls::Timer noticeTimer{this, "tmrNotices", 1000, true}; // counts a burst into its notice
    // Tab 7 "Historique".
    controls::Label historyFileLabel{this, "lblHistoryFile"};
    controls::TextBox findHistoryBox{this, "txtFindHistory"};
    controls::ListView historyView{this, "lstHistory"};
    controls::Button exportJournalButton{this, "cmdExportJournal", "Exporter..."};
};

} // namespace app
