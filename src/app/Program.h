#pragma once

#include "about/AboutBox.h"
#include "antispy/FileSearch.h"
#include "antispy/RegistrySearch.h"
#include "antispy/SpyList.h"
#include "app/HelpText.h"
#include "app/MainForm.h"
#include "app/PasswordLock.h"
#include "app/SettingsModule.h"
#include "app/StartWithSession.h"
#include "app/Switches.h"
#include "app/TaskBarIcon.h"
#include "cookies/CookieManager.h"
#include "dialer/DialerBlock.h"
#include "keywords/Journal.h"
#include "keywords/KeywordCommands.h"
#include "keywords/KeywordFile.h"
#include "keywords/KeywordList.h"
#include "keywords/ListImport.h"
#include "keywords/Statistics.h"
#include "keywords/StatisticsChart.h"
#include "keywords/StatisticsFile.h"
#include "platform/Platform.h"
#include "watch/Allowances.h"
#include "watch/AllowedSites.h"
#include "watch/BrowserChoice.h"
#include "watch/BrowserStatusReport.h"
#include "watch/ClosureTotals.h"
#include "watch/JournalFile.h"
#include "watch/JournalHistory.h"
#include "watch/KeywordScan.h"
#include "watch/Notices.h"
#include "watch/PopupRules.h"
#include "watch/SiteCommands.h"
#include "watch/SizeScan.h"
#include "watch/WindowCollection.h"
#include "watch/WindowSnapshot.h"

#include <memory>

namespace app {

// The running program: the main form, the data it shows, and the subsystems that work on
// them, built in dependency order and wired to the form's controls in one place (the event
// table in ProgramEvents.cpp). Also the steps of starting, showing and ending.
class Program {
public:
    explicit Program(platform::Platform& platform);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    platform::Platform& platform() const { return m_platform; }
    MainForm& form() { return m_form; }

    // --- Start-up, activation, closing ---------------------------------------------------
    /// The load step: every loader in its order; a failing loader stops itself only.
    void load();
    /// Shows the window as an ordinary window and runs the activation step.
    void show();
    /// The window became the program's active window.
    void activate();
    /// A request to close the main window (close box or from outside).
    void closeRequest();
    /// Ends the process at once.
    [[noreturn]] void endNow();

    // --- Commands that span several subsystems ---------------------------------------------
    /// The save command (explicit) and the saves of the quit (automatic): statistics, then
    /// the keyword file in the plain form. False when one of them was not saved (each says so
    /// in a message).
    bool saveLists(keywords::SaveMode mode = keywords::SaveMode::Explicit);
    /// Another keyword file chosen; an import under way goes first to the list it was chosen
    /// for.
    void chooseKeywordFile();
    /// The hide command: statistics, `ListeUrl.dat` in the quoted form (automatic saves),
    /// then shows or hides the window.
    void hideOrShow();
    /// The quit command: the saves of the save command, then the settings, then the
    /// immediate end. When a save failed, the user is asked first; No keeps the program
    /// running.
    void quit();
    /// Opens the About box modally.
    void showAbout();

    // --- The program's data ----------------------------------------------------------------
    keywords::KeywordList keywords;
    keywords::Statistics statistics;
    keywords::Journal journal;
    watch::ClosureTotals closures;
    watch::WindowSnapshot windows;
    watch::RuleSettings rules;
    /// The sites no rule closes or refuses.
    watch::AllowedSites allowedSites;

    // --- Subsystems ----------------------------------------------------------------------------
    TaskBarIcon& taskBarIcon() { return m_taskBarIcon; }
    PasswordLock& passwordLock() { return m_passwordLock; }
    Switches& switches() { return m_switches; }
    SettingsModule& settings() { return m_settings; }
    keywords::KeywordFile& keywordFile() { return m_keywordFile; }
    keywords::StatisticsFile& statisticsFile() { return m_statisticsFile; }
    keywords::KeywordCommands& keywordCommands() { return m_keywordCommands; }
    keywords::ListImport& listImport() { return m_listImport; }
    keywords::StatisticsChart& statisticsChart() { return m_statisticsChart; }
    watch::PopupRules& popupRules() { return m_popupRules; }
    watch::KeywordScan& keywordScan() { return m_keywordScan; }
    watch::SizeScan& sizeScan() { return m_sizeScan; }
    watch::BrowserChoice& browserChoice() { return m_browserChoice; }
    watch::BrowserStatusReport& browserStatus() { return m_browserStatus; }
    /// The open browser windows with their wrappers; null before the load step.
    watch::WindowCollection* windowCollection() const { return m_windowCollection.get(); }
    cookies::CookieManager& cookieManager() { return m_cookieManager; }
    antispy::SpyList& spyList() { return m_spyList; }
    antispy::FileSearch& fileSearch() { return m_fileSearch; }
    antispy::RegistrySearch& registrySearch() { return m_registrySearch; }
    dialer::DialerBlock& dialerBlock() { return m_dialerBlock; }
    watch::SiteCommands& siteCommands() { return m_siteCommands; }
    watch::JournalFile& journalFile() { return m_journalFile; }
    /// The lasting journal as the history tab shows it.
    watch::JournalHistory& journalHistory() { return m_journalHistory; }
    watch::Notices& notices() { return m_notices; }
    /// The folder of the keyword list, where the lasting journal and the allowed sites live.
    QString keywordListFolder() const;

private:
    /// Wires every control of the form to what it does: the program's table of events.
    void connectEvents();
    watch::Feedback feedback();
    /// A window was closed or refused: the journal file and the notices are told.
    void closed(const watch::Closure& closure);

    platform::Platform& m_platform;
    MainForm m_form;
    bool m_activatedOnce = false;

    TaskBarIcon m_taskBarIcon;
    PasswordLock m_passwordLock;
    dialer::DialerBlock m_dialerBlock;
    Switches m_switches;
    keywords::KeywordFile m_keywordFile;
    keywords::StatisticsFile m_statisticsFile;
    keywords::KeywordCommands m_keywordCommands;
    keywords::ListImport m_listImport;
    keywords::StatisticsChart m_statisticsChart;
    watch::BrowserChoice m_browserChoice;
    watch::BrowserStatusReport m_browserStatus;
    SettingsModule m_settings;
    StartWithSession m_startWithSession;
    HelpText m_helpText;
    // Sites always allowed, notices and the lasting journal; the scans consult them.
    watch::Allowances m_allowances;
    watch::JournalFile m_journalFile;
    watch::JournalHistory m_journalHistory;
    watch::Notices m_notices;
    watch::SiteCommands m_siteCommands;
    watch::PopupRules m_popupRules;
    watch::KeywordScan m_keywordScan;
    watch::SizeScan m_sizeScan;
    std::unique_ptr<watch::WindowCollection> m_windowCollection;
    cookies::CookieManager m_cookieManager;
    antispy::SpyList m_spyList;
    antispy::FileSearch m_fileSearch;
    antispy::RegistrySearch m_registrySearch;
};

} // namespace app
