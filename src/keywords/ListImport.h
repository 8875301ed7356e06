#pragma once

#include "keywords/FilterList.h"
#include "keywords/KeywordList.h"
#include "keywords/StatisticsFile.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"

#include <optional>

namespace keywords {

// The import of a filter list the user chooses (see FilterList.h): its entries that are not
// in the keyword list yet are appended in the file's order, each with a zero statistics
// record. Like the other keyword commands it leaves writing the keyword file to the save,
// hide and quit commands.
class ListImport {
public:
    struct Result {
        int added = 0;
        /// Entries not added: already in the list (case ignored), rules other than host
        /// rules, the machine's own names.
        int ignored = 0;
    };

    ListImport(platform::Files& files, platform::Dialogs& dialogs, KeywordList& keywords,
               StatisticsFile& statistics);

    /// The user chooses a list file; it is imported and the outcome told in a message box.
    void chooseAndImport();
    /// Imports the list held in a file's bytes; nothing (and nothing changes) when they are
    /// not text.
    std::optional<Result> importBytes(const QByteArray& bytes);
    /// Adds the entries that are new to the list.
    Result add(const FilterListEntries& list);

private:
    void tell(const QString& text, platform::MessageIcon icon);

    platform::Files& m_files;
    platform::Dialogs& m_dialogs;
    KeywordList& m_keywords;
    StatisticsFile& m_statistics;
};

} // namespace keywords
