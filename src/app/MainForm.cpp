#include "app/MainForm.h"

namespace app {

namespace {
// Widths of the lists in twips, from which their column widths are computed.
constexpr int kWindowListWidth = 11400;
constexpr int kTabListWidth = 9600;
constexpr int kSiteListWidth = 4000;
constexpr int kKeywordListWidth = 4600;
} // namespace

MainForm::MainForm() : controls::Form(QStringLiteral("FrmMain"), QStringLiteral("Tavrel")) {
    // Design state of the controls.
    addUrlButton.setEnabled(false);
    addPageNameButton.setEnabled(false);
    hideButton.setToolTip(QStringLiteral("Masque Tavrel dans la barre des tâches"));
    quitButton.setToolTip(QStringLiteral("Quitte définitivement Tavrel"));
    hidePicture.setToolTip(QStringLiteral("Masquer dans la barre des tâches"));
    aboutPicture.setToolTip(QStringLiteral("A Propos"));
    flashPicture.setVisible(false);
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
    browserBox.setToolTip(QStringLiteral("Le navigateur dont Tavrel surveille les fenêtres"));
    ownProfileSwitch.setToolTip(
        QStringLiteral("Vos favoris et vos connexions, au lieu du profil séparé de Tavrel"));

    // The filter boxes over the long lists, the import and the chart.
    for (controls::TextBox* box : {&findKeywordBox, &findStatisticBox, &findHistoryBox}) {
        box->setPlaceholder(QStringLiteral("Rechercher..."));
        box->setToolTip(QStringLiteral("Montre seulement les lignes qui contiennent ce texte"));
    }
    importListButton.setToolTip(QStringLiteral(
        "Ajoute les adresses d'un fichier hosts ou d'une liste de filtres (EasyList...)"));
    saveChartButton.setToolTip(QStringLiteral("Enregistre le graphique en image PNG"));

    windowListView.setWidth(kWindowListWidth);
    for (controls::ListView* list : {&statisticsView, &keywordListView, &journalView, &totalsView})
        list->setWidth(kTabListWidth);

    // Cookie tab.
    cookieFileView.addColumn(QStringLiteral("Nom des Cookies"), 2000);
    cookieFileView.addColumn(QStringLiteral("Chemin"), 3500);
    cookieFileView.addColumn(QStringLiteral("Date"), 1800);
    cookieFileView.addColumn(QStringLiteral("Taille"), 800);
    cookieFileView.setMultiSelect(true);
    cookieFileView.setSortKey(0);
    cookieFileView.setSorted(true);
    cookieFileView.setToolTip(QStringLiteral("Double clic pour lancer l'analyse du Cookie"));
    cookieRecordView.addColumn(QStringLiteral("Domaine"), 2000);
    cookieRecordView.addColumn(QStringLiteral("Nom du Cookie"), 1800);
    cookieRecordView.addColumn(QStringLiteral("Valeur du Cookie"), 2500);
    cookieRecordView.addColumn(QStringLiteral("Securité"), 900);
    cookieRecordView.addColumn(QStringLiteral("Source  "), 3000);
    cookieRecordView.addColumn(QStringLiteral("Parent  "), 3000);
    cookieRecordView.setSortKey(0);
    cookieRecordView.setSorted(true);
    cookieRecordView.setToolTip(QStringLiteral("Double clic pour analyser le Cookie"));
    deleteCookiesButton.setToolTip(QStringLiteral("Suppresion des Cookies sélectionnés"));
    refreshCookiesButton.setToolTip(QStringLiteral("Rafraîchir la liste des Cookies"));
    // Until the browser's cookies are shown (the folder's files are not exported).
    exportCookiesButton.setEnabled(false);
    exportCookiesButton.setToolTip(QStringLiteral(
        "Enregistrer les cookies des sites sélectionnés dans un fichier cookies.txt"));
    analysisBox.setMultiLine(true);

    // Anti Spy tab.
    addSpyNameButton.setToolTip(QStringLiteral("Ajouter un fichier à la liste"));
    deleteSpyNameButton.setToolTip(QStringLiteral("Supprimer le fichier de la liste"));
    saveSpyNamesButton.setToolTip(QStringLiteral("Enregistrer la liste des Spywares connus"));
    recurseSwitch.setToolTip(
        QStringLiteral("Recherche des Spywares dans tous les sous dossiers (Recommandé)"));
    recurseSwitch.setValue(1);
    findSpywareButton.setToolTip(
        QStringLiteral("Recherche des fichier Spywares dans le dossier sélectionné"));
    stopSearchButton.setToolTip(QStringLiteral("Arrêt de la recherche"));
    stopSearchButton.setEnabled(false);
    foundFileList.setMultiSelect(true);
    selectAllFoundButton.setToolTip(
        QStringLiteral("Selection de tous les fichiers dans la liste."));
    deselectAllFoundButton.setToolTip(
        QStringLiteral("Désélectionne tous les fichies de la liste."));
    deleteFoundButton.setToolTip(
        QStringLiteral("Suppression des fichiers sélectionnés de votre ordinateur."));
    registrySearchButton.setToolTip(
        QStringLiteral("Fonction future Recherche des Spywares dans la base de registre"));

    // Sites always allowed, notices, the lasting journal.
    siteBox.setToolTip(QStringLiteral("Nom du site, par exemple exemple.fr"));
    allowSiteButton.setToolTip(
        QStringLiteral("Ne jamais fermer ni refuser les pages de ce site et de ses sous-domaines"));
    removeSiteButton.setToolTip(QStringLiteral("Retirer le site sélectionné de la liste"));
    siteListView.setMultiSelect(true);
    siteListView.setWidth(kSiteListWidth);
    // The keyword list shares its tab with the allowed sites.
    keywordListView.setWidth(kKeywordListWidth);
    allowJournalSiteButton.setToolTip(
        QStringLiteral("Ne plus jamais fermer ni refuser les pages du site de la ligne "
                       "sélectionnée"));
    noticeSwitch.setValue(1);
    exportJournalButton.setToolTip(
        QStringLiteral("Enregistrer tout l'historique dans un fichier CSV"));
}

void MainForm::setUpListColumns() {
    int w = windowListView.width();
    windowListView.clearColumns();
    windowListView.addColumn(QStringLiteral("Nom de la page"), w / 4 - 100);
    windowListView.addColumn(QStringLiteral("Adresses Url"), w / 2);
    windowListView.addColumn(QStringLiteral("Largeur"), w / 8);
    windowListView.addColumn(QStringLiteral("Hauteur"), w / 8);

    w = statisticsView.width();
    statisticsView.clearColumns();
    statisticsView.addColumn(QStringLiteral("Fermées"), 1500);
    statisticsView.addColumn(QStringLiteral("Mots clés ou adresses URL"), w - 1600);

    w = keywordListView.width();
    keywordListView.clearColumns();
    keywordListView.addColumn(QStringLiteral("Filtre"), w - 350);
    keywordListView.setHeaderVisible(false);

    w = journalView.width();
    journalView.clearColumns();
    journalView.addColumn(QStringLiteral("Heure"), 1000);
    journalView.addColumn(QStringLiteral("Mots clés"), 2000);
    journalView.addColumn(QStringLiteral("Adresses Url"), w - 3100);

    w = totalsView.width();
    totalsView.clearColumns();
    for (const char* header : {"Mots clés", "Auto", "Taille Mots clés", "Taille Auto"})
        totalsView.addColumn(QString::fromUtf8(header), w / 4 - 25);

    siteListView.clearColumns();
    siteListView.addColumn(QStringLiteral("Site"), siteListView.width() - 350);
    siteListView.setHeaderVisible(false);

    historyView.clearColumns();
    historyView.addColumn(QStringLiteral("Date"), 1450);
    historyView.addColumn(QStringLiteral("Heure"), 1050);
    historyView.addColumn(QStringLiteral("Cause"), 2700);
    historyView.addColumn(QStringLiteral("Mot clé"), 1400);
    historyView.addColumn(QStringLiteral("Nom de la page"), 3000);
    historyView.addColumn(QStringLiteral("Adresse"), 3600);
}

} // namespace app
