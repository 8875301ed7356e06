#pragma once

#include "keywords/BackgroundWork.h"
#include "keywords/FilterList.h"
#include "keywords/KeywordList.h"
#include "keywords/StatisticsFile.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"

#include <memory>
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

    /// The user chooses a list file; it is imported and the outcome told in a message box. A
    /// large file is read on a thread of its own, then imported.
    void chooseAndImport();
    /// Whether a large list is still being read or added.
    bool importing() const;
    /// Ends at once the import under way, if any (waiting for its file to be read), and tells
    /// its outcome: before the lists are saved.
    void complete();
    /// Imports the list held in a file's bytes; nothing (and nothing changes) when they are
    /// not text.
    std::optional<Result> importBytes(const QByteArray& bytes);
    /// Adds the entries that are new to the list.
    Result add(const FilterListEntries& list);

    /// A list read, its entries lower-cased, those that came before in the list left out.
    struct Read {
        QStringList entries;
        QStringList lowered;
        int ignored = 0;
    };
    /// Reads a list's bytes (on any thread); nothing when they are not text.
    static std::optional<Read> read(const QByteArray& bytes);
    /// Adds the entries read that are new to the list.
    Result add(const Read& read);

private:
    void tell(const QString& text, platform::MessageIcon icon);
    void told(const QString& path, const std::optional<Result>& result);
    /// Adds entries [from, to) of a list read that are new to the list.
    Result add(const Read& read, qsizetype from, qsizetype to);
    /// Adds the next slice of the import under way, telling the outcome after the last one;
    /// lets the event loop run before the slice after (`thenNext`).
    void addSlice(bool thenNext);

    // An import under way: the list read and how far it is added.
    struct Pending {
        std::shared_ptr<const Read> read;
        qsizetype next = 0;
        Result soFar;
        QString path;
    };
    platform::Files& m_files;
    platform::Dialogs& m_dialogs;
    KeywordList& m_keywords;
    StatisticsFile& m_statistics;
    BackgroundWork m_reading;
    std::optional<Pending> m_pending;
    quint64 m_sliceSerial = 0;
};

} // namespace keywords
