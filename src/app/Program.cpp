#include "app/Program.h"

#include <cstdlib>

namespace app {

Program::Program(platform::Platform& platform)
    : m_platform(platform), m_taskBarIcon(m_form),
      m_passwordLock(m_form, platform.dialogs, [this] { endNow(); }),
      m_dialerBlock(platform, m_form.dialerBlockSwitch),
      m_switches(m_form, platform, rules, m_dialerBlock),
      m_keywordFile(platform.files, platform.settings, platform.dialogs, keywords,
                    m_form.keywordFilePathLabel),
      m_statisticsFile(platform.files, platform.dialogs, statistics),
      m_keywordCommands(platform.dialogs, platform.processes, keywords, m_statisticsFile, journal,
                        {m_form.windowListView, m_form.keywordListView, m_form.journalView,
                         m_form.addUrlButton, m_form.addPageNameButton},
                        m_form.caption()),
      m_listImport(platform.files, platform.dialogs, keywords, m_statisticsFile),
      m_statisticsChart(platform.files, platform.dialogs, statistics, m_form.statisticsChart),
      m_browserChoice(platform.browser, m_form.browserBox, m_form.ownProfileSwitch),
      m_browserStatus(platform.browser, platform.dialogs, m_form.browserStatusLabel,
                      [this](const QString& text) { m_taskBarIcon.setToolTip(text); }),
      m_settings(m_form, platform, rules, m_switches, m_passwordLock, m_dialerBlock, m_keywordFile,
                 m_browserChoice),
      m_startWithSession(platform, m_form.startWithSessionSwitch),
      m_helpText(platform.files, m_form.helpBox), m_allowances(allowedSites, platform.clock),
      m_journalFile(platform.files, platform.clock, platform.dialogs),
      m_journalHistory(m_journalFile),
      m_notices(platform.notifier, platform.clock, platform.browser, platform.processes,
                m_allowances, m_form.noticeSwitch),
      m_siteCommands(platform.files, platform.dialogs, allowedSites, journal,
                     {m_form.siteBox, m_form.siteListView, m_form.journalView}),
      m_popupRules(platform.browser, rules, m_form.popupSizeRuleSwitch, m_form.flashTimer,
                   feedback()),
      m_keywordScan(platform.browser, platform.clock, keywords, journal, statistics, windows,
                    m_form.windowListView, feedback()),
      m_sizeScan(platform.browser, windows, rules, m_form.keywordScanSwitch, m_form.sizeScanSwitch,
                 m_form.flashPicture, m_form.flashTimer, feedback()),
      m_cookieManager(platform, {m_form.cookieFolderBox, m_form.cookieFileView,
                                 m_form.analysisLabel, m_form.analysisBox, m_form.cookieRecordView,
                                 m_form.cookieFolderLabel, m_form.exportCookiesButton}),
      m_spyList(platform, {m_form.spyNameList, m_form.spyNameBox, m_form.addSpyNameButton,
                           m_form.deleteSpyNameButton}),
      m_fileSearch(platform,
                   {m_form.spyNameList, m_form.driveList, m_form.folderList, m_form.recurseSwitch,
                    m_form.stopSearchButton, m_form.foundFileList, m_form.statusBar},
                   [this](bool busy) { m_form.setBusy(busy); }),
      m_registrySearch(platform, {m_form.spyNameList, m_form.foundFileList}, m_fileSearch,
                       [this](bool busy) { m_form.setBusy(busy); }) {
    // The lists show the program's data.
    m_form.windowListView.bind(&windows);
    m_form.keywordListView.bind(&keywords);
    m_form.journalView.bind(&journal);
    m_form.statisticsView.bind(&statistics);
    m_form.totalsView.bind(&closures);
    m_form.siteListView.bind(&allowedSites);
    m_form.historyView.bind(&m_journalHistory);
    connectEvents();
}

Program::~Program() = default;

watch::Feedback Program::feedback() {
    return {closures, m_form.statusBar, [this] { m_switches.playClosureSound(); }, m_allowances,
            [this](const watch::Closure& closure) { closed(closure); }};
}

void Program::closed(const watch::Closure& closure) {
    m_journalFile.append(closure);
    m_statisticsChart.countClosure(m_platform.clock.now().date());
    m_notices.report(closure);
}

QString Program::keywordListFolder() const {
    const QString& list = m_keywordFile.path();
    const qsizetype slash = list.lastIndexOf(u'/');
    if (slash < 0)
        return m_platform.files.programFolder();
    return slash == 0 ? QStringLiteral("/") : list.left(slash);
}

void Program::load() {
    m_taskBarIcon.setToolTip(QStringLiteral("Tavrel"));
    m_form.tabs.setCurrent(0);
    m_windowCollection =
        std::make_unique<watch::WindowCollection>(m_platform.browser, m_popupRules);
    closures.clear();
    m_form.setUpListColumns();
    m_helpText.load();
    m_cookieManager.loadAtStartup();
    m_keywordFile.loadAtStartup();
    // The lasting journal and the allowed sites live beside the keyword list the program
    // starts with.
    m_journalFile.setFolder(keywordListFolder());
    m_form.historyFileLabel.setCaption(m_journalFile.path());
    m_siteCommands.load(keywordListFolder());
    m_statisticsFile.load(keywords);
    m_settings.load();
    m_fileSearch.setStartFolderToRoot();
    m_spyList.loadAtStartup();
    // From here on the status bar and the icon say what is watched.
    m_browserStatus.start();
}

void Program::show() {
    m_form.setVisible(true);
    activate();
}

void Program::activate() {
    m_startWithSession.readBack();
    // The auto-hide runs at the first showing only: later activations (the window shown
    // again from the tray, the focus back from a dialog) would hide it again at once.
    const bool first = !m_activatedOnce;
    m_activatedOnce = true;
    if (first && m_form.autoHideSwitch.value() == 1)
        hideOrShow();
}

void Program::closeRequest() {
    m_taskBarIcon.toggle();
    if (m_passwordLock.locked())
        m_passwordLock.closeRequestWhileLocked();
    // Otherwise the close is refused: the main window is never unloaded.
}

void Program::endNow() {
    m_platform.processes.endNow();
    std::abort(); // not reached: ending the process does not return
}

bool Program::saveLists(keywords::SaveMode mode) {
    // An import under way is ended first, so that what is saved holds all of it.
    m_listImport.complete();
    // Each save says itself when it fails; the other one is still made.
    const bool statisticsSaved = m_statisticsFile.save(mode);
    const bool listSaved = m_keywordFile.saveToOwnFile(mode);
    return statisticsSaved && listSaved;
}

void Program::chooseKeywordFile() {
    m_listImport.complete();
    m_keywordFile.choose();
}

void Program::hideOrShow() {
    m_statisticsFile.save(keywords::SaveMode::Automatic);
    m_keywordFile.saveQuoted(
        platform::programFile(m_platform.files, QStringLiteral("ListeUrl.dat")),
        keywords::SaveMode::Automatic);
    if (m_taskBarIcon.IconInTray())
        m_taskBarIcon.showFromTray();
    else
        m_taskBarIcon.hideToTray();
}

void Program::quit() {
    // What could not be saved would be lost: the user decides whether to end all the same.
    if (!saveLists(keywords::SaveMode::Automatic) &&
        m_platform.dialogs.message(
            QStringLiteral("Des modifications n'ont pas pu être enregistrées.\r"
                           "Quitter quand même ?"),
            platform::MessageButtons::YesNo, platform::MessageIcon::Question,
            QStringLiteral("Tavrel")) != platform::MessageAnswer::Yes)
        return;
    m_settings.save();
    endNow();
}

void Program::showAbout() {
    about::openAbout(m_platform);
}

} // namespace app
