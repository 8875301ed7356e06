#pragma once

#include "keywords/Journal.h"
#include "keywords/KeywordList.h"
#include "keywords/StatisticsFile.h"
#include "platform/Dialogs.h"
#include "platform/Processes.h"

#include <QString>

namespace controls {
class Button;
class ListView;
} // namespace controls

namespace keywords {

// The commands that add, edit and delete keywords, and reopen a journal address. None of them
// writes the keyword file: that is left to the save, hide and quit commands.
class KeywordCommands {
public:
    // The lists and buttons the commands read and set.
    struct Controls {
        controls::ListView& windowList;
        controls::ListView& keywordList;
        controls::ListView& journalList;
        controls::Button& addUrlButton;
        controls::Button& addPageNameButton;
    };

    KeywordCommands(platform::Dialogs& dialogs, platform::Processes& processes,
                    KeywordList& keywords, StatisticsFile& statistics, Journal& journal,
                    Controls controls, QString promptTitle);

    /// Appends a keyword at the bottom of the list and gives it a statistics record.
    void add(const QString& keyword);
    /// Adds a keyword typed by the user.
    void addTyped();
    /// Adds the address of the selected open window.
    void addWindowUrl();
    /// Adds the page name of the selected open window.
    void addWindowPageName();
    /// Edits the selected keyword.
    void editSelected();
    /// Deletes the selected keyword, without confirmation.
    void deleteSelected();
    /// Reopens the selected journal address and removes the keyword that closed it.
    void reopenJournalUrl();
    /// A click on the open-window list: the two add buttons are enabled when a row is selected.
    void windowListClicked();

private:
    /// The first selected row of the open-window list, or -1; `button` ends enabled exactly
    /// when a row is selected (an empty list leaves it as it is).
    int selectedWindowRow(controls::Button& button);

    platform::Dialogs& m_dialogs;
    platform::Processes& m_processes;
    KeywordList& m_keywords;
    StatisticsFile& m_statistics;
    Journal& m_journal;
    Controls m_controls;
    QString m_promptTitle;
};

} // namespace keywords
