// The main window built over the real form on the simulated platform: every tab, switch,
// menu item and list column as the program shows them, and the window's bond with the form.

#include "view/MainWindow.h"
#include "app/StartUp.h"
#include "app/TaskBarIcon.h"
#include "fakes/FakePlatform.h"
#include "view/GeometryGuard.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        program = app::startUp(fake.platform());
        ASSERT_TRUE(program);
        form = &program->form();
        window = std::make_unique<view::MainWindow>(*program);
    }

    template <class W> W* widget(const char* name) {
        return qobject_cast<W*>(window->widgets().get(QString::fromUtf8(name)));
    }

    QStringList headers(const char* list) {
        auto* view = widget<QTableView>(list);
        QStringList h;
        for (int c = 0; view && c < view->model()->columnCount(); ++c)
            h.append(view->model()->headerData(c, Qt::Horizontal).toString());
        return h;
    }

    fakes::FakePlatform fake;
    std::unique_ptr<app::Program> program;
    app::MainForm* form = nullptr;
    std::unique_ptr<view::MainWindow> window;
};

TEST_F(MainWindowTest, ShowsTheTabsInOrder) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tavrel"));
    QTabWidget* tabs = window->tabs();
    ASSERT_TRUE(tabs);
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i)
        captions.append(tabs->tabText(i));
    EXPECT_EQ(captions, (QStringList{"Mots Clés", "Journal", "Configuration", "Statistiques",
                                     "Cookies", "Anti Spy", "Aide", "Historique"}));
    // Every tab has something on it.
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_FALSE(tabs->widget(i)->findChildren<QWidget*>().isEmpty()) << i;
    auto* frame2 = widget<QGroupBox>("Frame2");
    ASSERT_TRUE(frame2);
    EXPECT_EQ(frame2->title(), "Fenétres IE en cours de navigation (Protection par mots clés)");
    // The window list and its buttons are outside the tabs.
    EXPECT_FALSE(tabs->isAncestorOf(widget<QWidget>("ListView1")));
    EXPECT_TRUE(frame2->isAncestorOf(widget<QWidget>("ListView1")));
    EXPECT_FALSE(tabs->isAncestorOf(widget<QWidget>("Command9")));
}

TEST_F(MainWindowTest, ShowsEverySwitchWithItsCaption) {
    const std::pair<const char*, const char*> switches[] = {
        {"chkStartOnWin", "Lancer au démarrage de Windows"},
        {"chkActive", "Activer la détection automatique de Tavrel"},
        {"Check2", "Activer la détection par mots clés de Tavrel"},
        {"chkDial", "Interdire les téléchargements automatiques  par Dialer"},
        {"ChkMasq", "Masquer automatiquement au lancement"},
        {"ChkPass", "Protéger la configuration par mot de passe"},
        {"ChkFen", "Activer la protection par taille de fenêtre (détection automatique)"},
        {"ChkFenMotCle", "Activer la protection par taille de fenêtre (détection par mots clés)"},
        {"Check1", "Jouer un son à la fermeture des fenêtres"},
        {"chkRecurse", "Recherche dans les sous dossiers"}};
    QTabWidget* tabs = window->tabs();
    for (const auto& [name, caption] : switches) {
        auto* box = widget<QCheckBox>(name);
        ASSERT_TRUE(box) << name;
        EXPECT_EQ(box->text(), QString::fromUtf8(caption)) << name;
        EXPECT_TRUE(tabs->isAncestorOf(box)) << name;
    }
    // The configuration switches are on the "Configuration" tab.
    EXPECT_TRUE(tabs->widget(2)->isAncestorOf(widget<QCheckBox>("ChkFenMotCle")));
    EXPECT_TRUE(tabs->widget(5)->isAncestorOf(widget<QCheckBox>("chkRecurse")));
    // The start folder's drive and folder lists are in the search frame.
    auto* search = widget<QGroupBox>("fraActions");
    ASSERT_TRUE(search);
    EXPECT_TRUE(search->isAncestorOf(widget<QComboBox>("drvStart")));
    EXPECT_TRUE(search->isAncestorOf(widget<QListWidget>("dirStart")));
}

TEST_F(MainWindowTest, ButtonsCarryCaptionsAcceleratorsAndTooltips) {
    auto* hide = widget<QPushButton>("Command10");
    ASSERT_TRUE(hide);
    EXPECT_EQ(hide->text(), "&Masquer");
    EXPECT_EQ(hide->shortcut(), QKeySequence(QStringLiteral("Alt+M")));
    EXPECT_EQ(hide->toolTip(), "Masque Tavrel dans la barre des tâches");
    EXPECT_EQ(widget<QPushButton>("Command9")->toolTip(), "Quitte définitivement Tavrel");
    EXPECT_EQ(widget<QLabel>("Image1")->toolTip(), "Masquer dans la barre des tâches");
    EXPECT_EQ(widget<QLabel>("Image2")->toolTip(), "A Propos");
    EXPECT_FALSE(widget<QLabel>("Image1")->pixmap().isNull());
    EXPECT_EQ(widget<QPushButton>("Command3")->text(), "Ajouter l'&URL");
    EXPECT_FALSE(widget<QPushButton>("Command3")->isEnabled());
    EXPECT_EQ(widget<QWidget>("TxtLarge")->toolTip(), "Dimension en pixels");
}

TEST_F(MainWindowTest, TrayMenuHasItsItemsInOrder) {
    QMenu* menu = window->trayMenu();
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->title(), "&Fichier");
    QStringList items;
    for (QAction* a : menu->actions())
        items.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(items, (QStringList{"Entrer le mot de passe", "-", "Masquer", "-", "A  propos", "-",
                                  "Quitter"}));
}

TEST_F(MainWindowTest, ListsShowTheirColumns) {
    EXPECT_EQ(headers("ListView1"),
              (QStringList{"Nom de la page", "Adresses Url", "Largeur", "Hauteur"}));
    EXPECT_EQ(headers("ListView2"), (QStringList{"Fermées", "Mots clés ou adresses URL"}));
    EXPECT_EQ(headers("ListView4"), (QStringList{"Heure", "Mots clés", "Adresses Url"}));
    EXPECT_EQ(headers("ListView5"),
              (QStringList{"Mots clés", "Auto", "Taille Mots clés", "Taille Auto"}));
    EXPECT_EQ(headers("ListView3"), (QStringList{"Filtre"}));
    EXPECT_TRUE(widget<QTableView>("ListView3")->horizontalHeader()->isHidden());
    EXPECT_FALSE(widget<QTableView>("ListView1")->horizontalHeader()->isHidden());
    // Widths come from the model's twips.
    const int twips = form->windowListView.columns().at(1).width;
    EXPECT_EQ(widget<QTableView>("ListView1")->columnWidth(1), twips / 15);
    // The totals row is there from the start.
    EXPECT_EQ(widget<QTableView>("ListView5")->model()->rowCount(), 1);
    // The cookie lists show the columns their part of the program gives them.
    const std::pair<const char*, QStringList> cookieLists[] = {
        {"lstCookies", {"Nom des Cookies", "Chemin", "Date", "Taille"}},
        {"Lst_Cook",
         {"Domaine", "Nom du Cookie", "Valeur du Cookie", "Securité", "Source  ", "Parent  "}}};
    for (const auto& [name, expected] : cookieLists) {
        const QStringList shown = headers(name);
        if (!shown.isEmpty()) {
            EXPECT_EQ(shown, expected) << name;
        }
    }
}

TEST_F(MainWindowTest, EveryControlOfTheWindowHasItsPlace) {
    const QStringList unplaced = window->widgets().unplaced();
    // The controls the main window declares; a control added later must be placed too, but
    // this list is the window as it is laid out here.
    for (const char* name : {"Frame2",
                             "ListView1",
                             "Command3",
                             "Command6",
                             "Command10",
                             "Command9",
                             "Sb",
                             "Image1",
                             "Image2",
                             "Frame3",
                             "ListView3",
                             "Command5",
                             "Command7",
                             "Command8",
                             "Command19",
                             "Label2",
                             "ListView4",
                             "Command1",
                             "Label6",
                             "ListView5",
                             "Frame4",
                             "Frame6",
                             "Label7",
                             "TxtLarge",
                             "Label8",
                             "TxtHaut",
                             "Frame1",
                             "Label1",
                             "Text1",
                             "Command2",
                             "Frame7",
                             "TxtPass",
                             "Command18",
                             "Frame5",
                             "Label10",
                             "LblMotCle",
                             "Command21",
                             "Command11",
                             "Command20",
                             "Label3",
                             "ListView2",
                             "Label4",
                             "txtCookieDir",
                             "lstCookies",
                             "Command12",
                             "Command13",
                             "Command14",
                             "Command15",
                             "Command16",
                             "Command17",
                             "Label5",
                             "rtf",
                             "Lst_Cook",
                             "fraFilters",
                             "lstFilters",
                             "Label9",
                             "txtFilter",
                             "cmdAddFilter",
                             "cmdDeleteFilter",
                             "Command4",
                             "fraActions",
                             "drvStart",
                             "dirStart",
                             "cmdFind",
                             "Command22",
                             "lstFiles",
                             "cmdSelAll",
                             "cmdDeSelAll",
                             "cmdDelete",
                             "lblWarnSearch",
                             "lblWarnDelete",
                             "fraRegistry",
                             "cmdCheckUp",
                             "lblFuture",
                             "TxtAide",
                             "txtFindKeyword",
                             "cmdImportList",
                             "txtFindStatistic",
                             "chtStatistics",
                             "cmdSaveChart",
                             "fraBrowser",
                             "lblBrowser",
                             "cboBrowser",
                             "chkOwnProfile",
                             "lblBrowserStatus"})
        EXPECT_FALSE(unplaced.contains(QString::fromLatin1(name))) << name;
}

TEST_F(MainWindowTest, FilterBoxesHeaderClicksAndTheChartWorkThroughTheirModels) {
    QTabWidget* tabs = window->tabs();
    auto* find = widget<QLineEdit>("txtFindKeyword");
    ASSERT_TRUE(find);
    EXPECT_TRUE(tabs->widget(0)->isAncestorOf(find));
    EXPECT_EQ(find->placeholderText(), QStringLiteral("Rechercher..."));
    EXPECT_EQ(widget<QPushButton>("cmdImportList")->text(),
              QStringLiteral("Importer une liste..."));
    program->keywords.assign(
        {QStringLiteral("pub"), QStringLiteral("casino"), QStringLiteral("popup")});
    QTest::keyClicks(find, QStringLiteral("pu"));
    auto* keywords = widget<QTableView>("ListView3");
    ASSERT_EQ(keywords->model()->rowCount(), 2);
    EXPECT_EQ(keywords->model()->index(1, 0).data().toString(), QStringLiteral("popup"));
    find->selectAll();
    QTest::keyClick(find, Qt::Key_Backspace);
    EXPECT_EQ(form->findKeywordBox.text(), QString());
    EXPECT_EQ(keywords->model()->rowCount(), 3);

    // A click on the counts' header orders the statistics by number, the largest first after
    // a second click; the header shows it.
    program->statistics.append({{QStringLiteral("pub"), 9}, {QStringLiteral("casino"), 10}});
    auto* stats = widget<QTableView>("ListView2");
    ASSERT_TRUE(stats && tabs->widget(3)->isAncestorOf(stats));
    emit stats->horizontalHeader()->sectionClicked(0);
    emit stats->horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(stats->model()->index(0, 1).data().toString(), QStringLiteral("casino"));
    EXPECT_TRUE(stats->horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(stats->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);

    // The chart is drawn on the statistics tab and gives its picture as PNG.
    QWidget* chart = widget<QWidget>("chtStatistics");
    ASSERT_TRUE(chart && tabs->widget(3)->isAncestorOf(chart));
    EXPECT_TRUE(tabs->widget(3)->isAncestorOf(widget<QPushButton>("cmdSaveChart")));
    window->show();
    form->tabs.setCurrent(3);
    QApplication::processEvents();
    EXPECT_TRUE(form->statisticsChart.image().startsWith("\x89PNG"));
}

// The sites always allowed beside the keywords, the journal's button under the journal, the
// notices' switch with the other options, the lasting journal on a tab of its own.
TEST_F(MainWindowTest, AllowedSitesNoticesAndHistoryHaveTheirPlaces) {
    QTabWidget* tabs = window->tabs();
    auto* sites = widget<QGroupBox>("fraSitesAllowed");
    ASSERT_TRUE(sites);
    EXPECT_EQ(sites->title(), "Sites toujours autorisés ");
    EXPECT_TRUE(tabs->widget(0)->isAncestorOf(sites));
    for (const char* name : {"txtSiteAllowed", "cmdAllowSite", "cmdRemoveSite", "lstSitesAllowed"})
        EXPECT_TRUE(sites->isAncestorOf(widget<QWidget>(name))) << name;
    EXPECT_EQ(widget<QPushButton>("cmdAllowSite")->text(), "Autoriser");
    EXPECT_EQ(widget<QPushButton>("cmdRemoveSite")->text(), "Retirer");
    EXPECT_TRUE(widget<QTableView>("lstSitesAllowed")->horizontalHeader()->isHidden());

    auto* journalSite = widget<QPushButton>("cmdAllowJournalSite");
    ASSERT_TRUE(journalSite);
    EXPECT_EQ(journalSite->text(), "Toujours autoriser ce site");
    EXPECT_TRUE(tabs->widget(1)->isAncestorOf(journalSite));

    auto* notices = widget<QCheckBox>("chkNotices");
    ASSERT_TRUE(notices);
    EXPECT_EQ(notices->text(), "Afficher une notification à chaque fermeture");
    EXPECT_TRUE(notices->isChecked());
    EXPECT_TRUE(widget<QGroupBox>("Frame4")->isAncestorOf(notices));

    QWidget* history = tabs->widget(7);
    for (const char* name : {"lblHistoryFile", "lstHistory", "cmdExportJournal"})
        EXPECT_TRUE(history->isAncestorOf(widget<QWidget>(name))) << name;
    EXPECT_EQ(widget<QPushButton>("cmdExportJournal")->text(), "Exporter...");
    EXPECT_EQ(headers("lstHistory"),
              (QStringList{"Date", "Heure", "Cause", "Mot clé", "Nom de la page", "Adresse"}));
    EXPECT_EQ(widget<QLabel>("lblHistoryFile")->text(), "/prog/Journal.csv");
}

TEST_F(MainWindowTest, TimersRunWhileTheirModelIsEnabled) {
    QTimer* timer1 = window->widgets().timer(QStringLiteral("Timer1"));
    QTimer* timer2 = window->widgets().timer(QStringLiteral("Timer2"));
    ASSERT_TRUE(timer1 && timer2);
    EXPECT_EQ(timer1->interval(), 500);
    EXPECT_EQ(timer1->isActive(), form->keywordScanTimer.enabled());
    form->sizeScanTimer.setEnabled(true);
    EXPECT_TRUE(timer2->isActive());
    form->sizeScanTimer.setEnabled(false);
    EXPECT_FALSE(timer2->isActive());
}

TEST_F(MainWindowTest, CloseBoxAsksTheFormAndTheMenuFollows) {
    ASSERT_TRUE(form->visible());
    QCloseEvent close;
    QApplication::sendEvent(window.get(), &close);
    EXPECT_FALSE(close.isAccepted());
    EXPECT_FALSE(form->visible());
    EXPECT_TRUE(program->taskBarIcon().IconInTray());
    QAction* toggle = window->trayMenu()->actions().at(2);
    EXPECT_EQ(toggle->text(), "Afficher");
    if (view::MainWindow::trayAvailable()) {
        EXPECT_FALSE(window->isVisible());
    } else {
        // No notification area: the window waits in the task bar.
        EXPECT_TRUE(window->windowState().testFlag(Qt::WindowMinimized));
    }
    toggle->trigger();
    EXPECT_TRUE(form->visible());
    EXPECT_EQ(toggle->text(), "Masquer");
    EXPECT_FALSE(window->windowState().testFlag(Qt::WindowMinimized));
}

TEST_F(MainWindowTest, TabChoiceGoesThroughTheForm) {
    QTabWidget* tabs = window->tabs();
    tabs->setCurrentIndex(3);
    EXPECT_EQ(form->tabs.current(), 3);
    form->tabs.setCurrent(1);
    EXPECT_EQ(tabs->currentIndex(), 1);
    form->tabs.setTabEnabled(2, false);
    EXPECT_FALSE(tabs->isTabEnabled(2));
}

TEST_F(MainWindowTest, StatusBarShowsTheSimpleText) {
    form->statusBar.setSimpleText(QStringLiteral("Fermeture par taille : Pub     (Total:1)"));
    auto* text = window->statusBar()->findChild<QLabel*>(QStringLiteral("SbText"));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->text(), "Fermeture par taille : Pub     (Total:1)");
    // A long text does not widen the window.
    const int before = window->minimumSizeHint().width();
    form->statusBar.setSimpleText(QString(400, u'x'));
    EXPECT_EQ(window->minimumSizeHint().width(), before);
}

TEST_F(MainWindowTest, TheWatchedBrowserIsSaidAtTheRightOfTheStatusBarAndInTheIconsTooltip) {
    auto* said = widget<QLabel>("lblBrowserStatus");
    ASSERT_TRUE(said);
    EXPECT_EQ(said->parentWidget(), window->statusBar());
    EXPECT_EQ(said->text(), QStringLiteral("Navigateur surveillé : Chromium — aucune fenêtre"));
    fake.browser.open(7);
    EXPECT_EQ(said->text(), QStringLiteral("Navigateur surveillé : Chromium — 1 fenêtre"));
    EXPECT_EQ(window->trayIcon()->toolTip(),
              QStringLiteral("Tavrel\nNavigateur surveillé : Chromium — 1 fenêtre"));
    fake.browser.setStatus({platform::BrowserStatus::State::Stopped,
                            platform::BrowserStatus::Reason::Closed, QStringLiteral("Chromium"),
                            QString(), false});
    EXPECT_EQ(said->text(), QStringLiteral("Aucun navigateur surveillé : Chromium a été fermé"));
    EXPECT_EQ(window->trayIcon()->toolTip(),
              QStringLiteral("Tavrel\nAucun navigateur surveillé : Chromium a été fermé"));
}

TEST_F(MainWindowTest, TheBrowserChosenInTheListGoesToTheBrowser) {
    auto* list = widget<QComboBox>("cboBrowser");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(list->currentText(), QStringLiteral("Chromium"));
    EXPECT_EQ(fake.browser.chosen(), QStringLiteral("chromium"));
    auto* own = widget<QCheckBox>("chkOwnProfile");
    ASSERT_TRUE(own);
    own->click();
    EXPECT_TRUE(fake.browser.chosenOwnProfile());
}

TEST_F(MainWindowTest, BusyFormShowsTheHourglassUntilItIsDone) {
    ASSERT_FALSE(QApplication::overrideCursor());
    form->setBusy(true);
    ASSERT_TRUE(QApplication::overrideCursor());
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    form->setBusy(false);
    EXPECT_FALSE(QApplication::overrideCursor());

    // A search shows it while it works and lets events run, and takes it away at the end.
    fake.files.setFile("/t/a.jse", "x");
    form->spyNameList.clear();
    form->spyNameList.addItem(QStringLiteral("*.jse"));
    form->folderList.setPath(QStringLiteral("/t"));
    int hourglassShown = 0, eventRuns = 0;
    fake.processes.onProcessEvents = [&] {
        ++eventRuns;
        if (QApplication::overrideCursor() &&
            QApplication::overrideCursor()->shape() == Qt::WaitCursor)
            ++hourglassShown;
    };
    form->findSpywareButton.click();
    EXPECT_GT(eventRuns, 0);
    EXPECT_EQ(hourglassShown, eventRuns);
    EXPECT_FALSE(QApplication::overrideCursor());

    // A window that goes away while the form is busy does not leave the hourglass behind.
    form->setBusy(true);
    window.reset();
    EXPECT_FALSE(QApplication::overrideCursor());
    form->setBusy(false);
}

TEST_F(MainWindowTest, FlashLightsTheStatusBarWithThePicture) {
    QStatusBar* bar = window->statusBar();
    form->flashPicture.setVisible(false);
    EXPECT_FALSE(window->flashShown());
    EXPECT_FALSE(bar->autoFillBackground());
    form->flashPicture.setVisible(true);
    EXPECT_TRUE(window->flashShown());
    EXPECT_TRUE(bar->autoFillBackground());
    EXPECT_NE(bar->palette().color(QPalette::Window), window->palette().color(QPalette::Window));
    form->flashPicture.setVisible(false);
    EXPECT_FALSE(window->flashShown());
    EXPECT_EQ(bar->palette().color(QPalette::Window), window->palette().color(QPalette::Window));
}

TEST_F(MainWindowTest, WithoutNotificationAreaTheTaskBarAndStatusBarStandIn) {
    if (view::MainWindow::trayAvailable())
        GTEST_SKIP() << "this desktop has a notification area";
    window->show();
    program->taskBarIcon().hideToTray();
    ASSERT_TRUE(window->isMinimized());
    // Restoring the window from the task bar shows it, as the icon's click would.
    window->showNormal();
    QApplication::processEvents();
    EXPECT_TRUE(form->visible());
    EXPECT_FALSE(program->taskBarIcon().IconInTray());
    EXPECT_EQ(window->trayMenu()->actions().at(2)->text(), "Masquer");

    // The status bar's context menu asks for the icon's menu.
    int menus = 0;
    QObject::connect(&program->taskBarIcon(), &app::TaskBarIcon::menuRequested, [&] { ++menus; });
    emit window->statusBar()->customContextMenuRequested(QPoint(5, 5));
    EXPECT_EQ(menus, 1);
    EXPECT_TRUE(window->trayMenu()->isVisible());
    window->trayMenu()->hide();
}

TEST(GeometryGuardTest, HiddenWindowComesBackWhereItWas) {
    QWidget window;
    window.setGeometry(120, 90, 400, 300);
    window.show();
    const QRect before = window.geometry();
    view::GeometryGuard guard(window);
    guard.hide();
    EXPECT_FALSE(window.isVisible());
    // Placed elsewhere while hidden, as a window manager may do.
    window.setGeometry(0, 0, 200, 100);
    guard.show();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.geometry(), before);
}

} // namespace
