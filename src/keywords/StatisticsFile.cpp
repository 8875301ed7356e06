#include "keywords/StatisticsFile.h"

#include "keywords/TextItems.h"
#include "platform/TextCodec.h"

#include <algorithm>

namespace keywords {

StatisticsFile::StatisticsFile(platform::Files& files, platform::Dialogs& dialogs,
                               Statistics& statistics)
    : m_files(files), m_statistics(statistics),
      m_listFiles(files, dialogs, QStringLiteral("ce n'est pas un fichier de statistiques.")) {}

QString StatisticsFile::path() const {
    return platform::programFile(m_files, QStringLiteral("Statistiques.dat"));
}

QString StatisticsFile::record(const QString& keyword, qint64 count) {
    return u'"' + keyword + QStringLiteral("\",\"") + QString::number(count) +
           QStringLiteral("\"\r\n");
}

QString StatisticsFile::text(const std::vector<Statistics::Entry>& entries) {
    qsizetype length = 0;
    for (const Statistics::Entry& e : entries)
        length += e.keyword.size() + 24;
    QString text;
    text.reserve(length);
    // Piece by piece: a record of a huge keyword is not copied once more.
    for (const Statistics::Entry& e : entries) {
        text += u'"';
        text += e.keyword;
        text += QStringLiteral("\",\"");
        // The count's digits without a string of their own (most counts are 0).
        char16_t digits[24];
        qsizetype at = 24;
        const bool negative = e.count < 0;
        quint64 n = negative ? 0 - quint64(e.count) : quint64(e.count);
        do {
            digits[--at] = char16_t(u'0' + n % 10);
            n /= 10;
        } while (n != 0);
        if (negative)
            digits[--at] = u'-';
        text += QStringView(digits + at, 24 - at);
        text += QStringLiteral("\"\r\n");
    }
    return text;
}

void StatisticsFile::load(const KeywordList& seed) {
    const QString file = path();
    m_files.removeStaleTemporaries(file);
    if (!platform::FileExists(m_files, file)) {
        // A first start: a zero count for every keyword, in the file and in memory (what is
        // written reads back as these entries, which share the keywords' texts).
        std::vector<Statistics::Entry> entries;
        entries.reserve(std::size_t(seed.size()));
        for (const QString& keyword : seed.words())
            entries.push_back({keyword, 0});
        m_listFiles.write(file, text(entries), SaveMode::Automatic);
        m_statistics.append(std::move(entries));
        return;
    }
    QString reason;
    std::optional<QString> content = m_listFiles.read(file, &reason);
    if (!content) {
        // Said, and the file is kept from automatic saves: the counts are not what it holds.
        m_listFiles.report(file, reason);
        return;
    }
    ItemReader reader(*std::move(content));
    std::vector<Statistics::Entry> entries;
    while (!reader.atEnd()) {
        QString keyword = reader.next();
        if (reader.atEnd())
            break; // a record without its count gives no entry
        // The keyword's text is shared with the list's word when it is one (most are).
        if (const int k = keyword.isEmpty() ? -1 : seed.indexOf(keyword); k >= 0)
            keyword = seed.at(k);
        entries.push_back({std::move(keyword), leadingInteger(reader.next())});
    }
    m_statistics.append(std::move(entries));
}

void StatisticsFile::appendRecord(const QString& keyword) {
    // The statistics keep the counts raised since the last save: the new record is added to
    // both the file and the statistics instead of reloading them from the file. Should the
    // file not take it, the next save writes it with the others.
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

std::optional<QByteArray>
StatisticsFile::asciiBytes(const std::vector<Statistics::Entry>& entries) {
    qsizetype length = 0;
    for (const Statistics::Entry& e : entries)
        length += e.keyword.size() + 28;         // quotes, comma, line end, up to 20 digits
    QByteArray bytes(length, Qt::Uninitialized); // room for the longest count on every line
    char* out = bytes.data();
    for (const Statistics::Entry& e : entries) {
        *out++ = '"';
        if (!platform::copyAscii(out, e.keyword))
            return std::nullopt;
        out += e.keyword.size();
        out = std::copy_n("\",\"", 3, out);
        char digits[24];
        qsizetype at = 24;
        const bool negative = e.count < 0;
        quint64 n = negative ? 0 - quint64(e.count) : quint64(e.count);
        do {
            digits[--at] = char('0' + n % 10);
            n /= 10;
        } while (n != 0);
        if (negative)
            digits[--at] = '-';
        out = std::copy(digits + at, digits + 24, out);
        out = std::copy_n("\"\r\n", 3, out);
    }
    bytes.truncate(out - bytes.constData());
    return bytes;
}

bool StatisticsFile::save(SaveMode mode) {
    if (const auto bytes = asciiBytes(m_statistics.entries()))
        return m_listFiles.writeBytes(path(), *bytes, mode);
    return m_listFiles.write(path(), text(m_statistics.entries()), mode);
}

} // namespace keywords
