#include "app/Program.h"

namespace app {

// The program's table of events: what each control of the main form does. Control names in
// the comments are those the scenario scripts use.
void Program::connectEvents() {
    MainForm& f = m_form;

    // Timers: the two scans and the flash of a refused pop-up.
    f.keywordScanTimer.onTimer = [this] { m_keywordScan.tick(); }; // Timer1
    f.sizeScanTimer.onTimer = [this] { m_sizeScan.tick(); };       // Timer2
    f.flashTimer.onTimer = [this] { m_sizeScan.flashTick(); };     // tmrFlash

    // Open windows, and the buttons and pictures around the tabs.
    f.windowListView.onClick = [this] { m_keywordCommands.windowListClicked(); };    // ListView1
    f.addUrlButton.onClick = [this] { m_keywordCommands.addWindowUrl(); };           // Command3
    f.addPageNameButton.onClick = [this] { m_keywordCommands.addWindowPageName(); }; // Command6
    f.hideButton.onClick = [this] { hideOrShow(); };                                 // Command10
    f.hidePicture.onClick = [this] { hideOrShow(); };                                // Image1
    f.quitButton.onClick = [this] { quit(); };                                       // Command9
    f.aboutPicture.onClick = [this] { showAbout(); };                                // Image2

    // The tray icon's menu.
    f.passwordMenuItem.onClick = [this] { m_passwordLock.askToUnlock(); }; // Mnu_MdP
    f.hideShowMenuItem.onClick = [this] { m_taskBarIcon.toggle(); };       // CmdIconize
    f.aboutMenuItem.onClick = [this] { showAbout(); };                     // Mnu_Apropos
    f.quitMenuItem.onClick = [this] { quit(); };                           // quit

    // "Mots Clés": the keyword list.
    f.addKeywordButton.onClick = [this] { m_keywordCommands.addTyped(); };          // Command5
    f.editKeywordButton.onClick = [this] { m_keywordCommands.editSelected(); };     // Command7
    f.deleteKeywordButton.onClick = [this] { m_keywordCommands.deleteSelected(); }; // Command8
    f.saveKeywordsButton.onClick = [this] { saveLists(); };                         // Command19

    // "Mots Clés" and "Statistiques": finding in the long lists, importing filter lists, the
    // chart. A filter box shows only its list's rows holding its text.
    f.findKeywordBox.onChange = [&f] {
        f.keywordListView.setFilterText(f.findKeywordBox.text());
    };                                   // txtFindKeyword
    f.findHistoryBox.onChange = [this] { // txtFindHistory
        m_journalHistory.open(); // a filter reads every record: the journal is looked through
        m_form.historyView.setFilterText(m_form.findHistoryBox.text());
    };
    f.findStatisticBox.onChange = [&f] {
        f.statisticsView.setFilterText(f.findStatisticBox.text());
    };                                                                       // txtFindStatistic
    f.importListButton.onClick = [this] { m_listImport.chooseAndImport(); }; // cmdImportList
    f.saveChartButton.onClick = [this] { m_statisticsChart.saveImage(); };   // cmdSaveChart

    // "Journal".
    f.reopenUrlButton.onClick = [this] { m_keywordCommands.reopenJournalUrl(); }; // Command1

    // "Configuration": each switch's change rule, the size boxes' input rule, the choosers.
    f.popupRuleSwitch.onClick = [this] { m_switches.popupRuleChanged(); };         // chkActive
    f.popupSizeRuleSwitch.onClick = [this] { m_switches.popupSizeRuleChanged(); }; // ChkFen
    f.keywordScanSwitch.onClick = [this] { m_switches.keywordScanChanged(); };     // Check2
    f.sizeScanSwitch.onClick = [this] { m_switches.sizeScanChanged(); };           // ChkFenMotCle
    f.soundSwitch.onClick = [this] { m_switches.soundChanged(); };                 // Check1
    f.dialerBlockSwitch.onClick = [this] { m_switches.dialerBlockChanged(); };     // chkDial
    f.startWithSessionSwitch.onClick = [this] {
        m_startWithSession.switchChanged();
    }; // chkStartOnWin
    f.widthBox.onKeyPress = [](QChar key) { return Switches::acceptsSizeKey(key); };  // TxtLarge
    f.heightBox.onKeyPress = [](QChar key) { return Switches::acceptsSizeKey(key); }; // TxtHaut
    f.chooseSoundButton.onClick = [this] { m_switches.chooseSound(); };               // Command2
    f.setPasswordButton.onClick = [this] { m_passwordLock.takePasswordFromBox(); };   // Command18
    f.chooseKeywordFileButton.onClick = [this] { chooseKeywordFile(); };              // Command21
    f.aboutButton.onClick = [this] { showAbout(); };                                  // Command11
    f.saveSettingsButton.onClick = [this] { m_settings.save(); };                     // Command20
    f.browserBox.onClick = [this] { m_browserChoice.boxChanged(); };                  // cboBrowser
    f.ownProfileSwitch.onClick = [this] { m_browserChoice.switchChanged(); }; // chkOwnProfile

    // The window brought back from the notification area: a browser the user closed, or one
    // that only the user could bring back, starts again.
    QObject::connect(&m_taskBarIcon, &TaskBarIcon::trayChanged, &m_taskBarIcon,
                     [this](bool inTray) {
                         if (!inTray)
                             m_browserStatus.userReturned();
                     });

    // "Cookies".
    f.selectAllCookiesButton.onClick = [this] { m_cookieManager.selectAll(); };  // Command12
    f.deselectCookiesButton.onClick = [this] { m_cookieManager.deselectAll(); }; // Command13
    f.invertCookieSelectionButton.onClick = [this] {
        m_cookieManager.invertSelection();
    };                                                                            // Command14
    f.deleteCookiesButton.onClick = [this] { m_cookieManager.deleteSelected(); }; // Command15
    f.refreshCookiesButton.onClick = [this] { m_cookieManager.refresh(); };       // Command16
    f.internetOptionsButton.onClick = [this] {
        m_cookieManager.openInternetOptions();
    };                                                                                // Command17
    f.cookieFileView.onDblClick = [this] { m_cookieManager.analyseSelectedFile(); };  // lstCookies
    f.cookieRecordView.onDblClick = [this] { m_cookieManager.showSelectedRecord(); }; // Lst_Cook
    f.exportCookiesButton.onClick = [this] {
        m_cookieManager.exportSelected();
    }; // cmdExportCookies
    // The list follows the browser watched: its cookies, or the folder while none is.
    QObject::connect(&m_platform.browser, &platform::BrowserShell::statusChanged, &m_form,
                     [this] { m_cookieManager.browserChanged(); });

    // "Anti Spy": the known names, the file search, the registry search.
    f.spyNameBox.onChange = [this] { m_spyList.nameBoxChanged(); }; // txtFilter
    f.spyNameBox.onLostFocus = [this] { m_spyList.nameBoxLeft(); };
    f.addSpyNameButton.onClick = [this] { m_spyList.addTypedName(); };         // cmdAddFilter
    f.spyNameList.onClick = [this] { m_spyList.listClicked(); };               // lstFilters
    f.deleteSpyNameButton.onClick = [this] { m_spyList.deleteSelected(); };    // cmdDeleteFilter
    f.saveSpyNamesButton.onClick = [this] { m_spyList.save(); };               // Command4
    f.driveList.onChange = [this] { m_fileSearch.driveChanged(); };            // drvStart
    f.folderList.onChange = [this] { m_fileSearch.folderChanged(); };          // dirStart
    f.findSpywareButton.onClick = [this] { m_fileSearch.find(); };             // cmdFind
    f.stopSearchButton.onClick = [this] { m_fileSearch.stop(); };              // Command22
    f.selectAllFoundButton.onClick = [this] { m_fileSearch.selectAll(); };     // cmdSelAll
    f.deselectAllFoundButton.onClick = [this] { m_fileSearch.deselectAll(); }; // cmdDeSelAll
    f.deleteFoundButton.onClick = [this] { m_fileSearch.deleteSelected(); };   // cmdDelete
    f.registrySearchButton.onClick = [this] { m_registrySearch.run(); };       // cmdCheckUp

    // Sites always allowed ("Mots Clés", "Journal"), the notices' timer, the lasting journal
    // ("Historique"), found the first time its tab shows.
    f.allowSiteButton.onClick = [this] { m_siteCommands.allowTyped(); };      // cmdAllowSite
    f.removeSiteButton.onClick = [this] { m_siteCommands.removeSelected(); }; // cmdRemoveSite
    f.allowJournalSiteButton.onClick = [this] {
        m_siteCommands.allowJournalSite();
    };                                                                        // cmdAllowJournalSite
    f.noticeTimer.onTimer = [this] { m_notices.tick(); };                     // tmrNotices
    f.exportJournalButton.onClick = [this] { m_journalFile.exportChosen(); }; // cmdExportJournal
    f.tabs.onClick = [this](int) {                                            // SSTab1
        if (m_form.tabs.current() == MainForm::HistoryTab)
            m_journalHistory.open();
        // The browser's cookies change as the user browses: read again when shown.
        if (m_form.tabs.current() == MainForm::CookiesTab)
            m_cookieManager.tabShown();
        // The closures per day, from the lasting journal, each time the statistics show.
        if (m_form.tabs.current() == MainForm::StatisticsTab)
            m_statisticsChart.setClosuresPerDay(
                keywords::closuresPerDay(m_journalFile.closureDays()));
    };
}

} // namespace app
