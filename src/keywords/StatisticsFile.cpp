#include "keywords/StatisticsFile.h"

#include "keywords/TextItems.h"
#include "platform/TextCodec.h"

namespace keywords {

StatisticsFile::StatisticsFile(platform::Files& files, Statistics& statistics)
    : m_files(files), m_statistics(statistics) {}

QString StatisticsFile::path() const {
    return platform::programFile(m_files, QStringLiteral("Statistiques.dat"));
}

QString StatisticsFile::record(const QString& keyword, qint64 count) {
    return u'"' + keyword + QStringLiteral("\",\"") + QString::number(count) +
           QStringLiteral("\"\r\n");
}

void StatisticsFile::load(const KeywordList& seed) {
    const QString file = path();
    if (!platform::FileExists(m_files, file)) {
        QString text;
        for (const QString& keyword : seed.words())
            text += record(keyword, 0);
        if (m_files.writeAll(file, platform::encodeText(text)) != platform::FileError::None)
            return;
    }
    const auto bytes = m_files.readAll(file);
    if (!bytes)
        return;
    ItemReader reader(platform::decodeText(*bytes));
    std::vector<Statistics::Entry> entries;
    while (!reader.atEnd()) {
        const QString keyword = reader.next();
        if (reader.atEnd())
            break; // a record without its count gives no entry
        entries.push_back({keyword, leadingInteger(reader.next())});
    }
    m_statistics.append(std::move(entries));
}

void StatisticsFile::appendRecord(const QString& keyword) {
    // The statistics keep the counts raised since the last save: the new record is added to
    // both the file and the statistics instead of reloading them from the file.
    m_files.append(path(), platform::encodeText(record(keyword, 0)));
    m_statistics.append(keyword);
}

int StatisticsFile::appendRecords(const QStringList& keywords) {
    QString text;
    std::vector<Statistics::Entry> entries;
    entries.reserve(std::size_t(keywords.size()));
    for (const QString& keyword : keywords) {
        text += record(keyword, 0);
        entries.push_back({keyword, 0});
    }
    // The statistics get the records even when the file cannot: the next save writes them.
    const int error = m_files.append(path(), platform::encodeText(text));
    m_statistics.append(std::move(entries));
    return error;
}

int StatisticsFile::save() const {
    QString text;
    for (const Statistics::Entry& e : m_statistics.entries())
        text += record(e.keyword, e.count);
    return m_files.writeAll(path(), platform::encodeText(text));
}

} // namespace keywords
