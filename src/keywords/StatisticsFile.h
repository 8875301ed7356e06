#pragma once

#include "keywords/KeywordList.h"
#include "keywords/ListFiles.h"
#include "keywords/Statistics.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"

#include <QString>
#include <optional>

namespace keywords {

// The statistics file `Statistiques.dat` of the program folder: one record a keyword, the
// keyword and its count, both quoted.
class StatisticsFile {
public:
    StatisticsFile(platform::Files& files, platform::Dialogs& dialogs, Statistics& statistics);

    /// Seeds the file from the keyword list when it is missing (a zero count each), then adds
    /// its records to the statistics. A file that exists but cannot be read is reported, and
    /// only an explicit save writes over it.
    void load(const KeywordList& seed);
    /// Appends a zero record for a new keyword to the file and to the statistics.
    void appendRecord(const QString& keyword);
    /// Appends a zero record for each of these new keywords, to the file in one write and to
    /// the statistics as one change; returns the file error number (0 on success).
    int appendRecords(const QStringList& keywords);
    /// Rewrites the file from the statistics; false when it was not saved, after a message
    /// saying why.
    bool save(SaveMode mode);

    QString path() const;
    static QString record(const QString& keyword, qint64 count);

private:
    static QString text(const std::vector<Statistics::Entry>& entries);
    /// The file's bytes when every keyword is ASCII (the codec's own bytes then), built
    /// without the text; nothing otherwise.
    static std::optional<QByteArray> asciiBytes(const std::vector<Statistics::Entry>& entries);

    platform::Files& m_files;
    Statistics& m_statistics;
    ListFiles m_listFiles;
};

} // namespace keywords
