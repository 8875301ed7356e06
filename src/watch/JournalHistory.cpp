#include "watch/JournalHistory.h"

#include "watch/Csv.h"

#include <QDate>
#include <limits>

namespace watch {

namespace {
// Bytes read at a time while the files are looked through.
constexpr qint64 kChunk = 1 << 20;
} // namespace

JournalHistory::JournalHistory(const JournalFile& journal) : m_journal(journal) {
    connect(&journal, &JournalFile::appended, this,
            [this](qint64 offset, qint64 length) { appended(offset, length); });
    connect(&journal, &JournalFile::rotated, this, [this] {
        if (m_open)
            reload();
    });
}

void JournalHistory::open() {
    if (!m_open)
        reload();
}

bool JournalHistory::index(const QString& path, bool old, qint64 from, qint64 to, bool skipHeader,
                           std::vector<Place>& into) const {
    const platform::Files& files = m_journal.files();
    const QByteArray header = JournalFile::header();
    qint64 lineStart = from;
    QByteArray line; // the start of a line that runs on into the next chunk
    auto take = [&](qint64 end) {
        // The line [lineStart, end) with its line end; blank lines and the header hold no record.
        const bool blank = line.isEmpty() || line == "\r";
        const bool isHeader = skipHeader && lineStart == 0 && line + '\n' == header;
        if (!blank && !isHeader)
            into.push_back(
                {lineStart,
                 qint32(qMin<qint64>(end - lineStart, std::numeric_limits<qint32>::max())), old});
        lineStart = end;
        line.clear();
    };
    for (qint64 at = from; at < to; at += kChunk) {
        const auto chunk = files.readPart(path, at, qMin(kChunk, to - at));
        if (!chunk)
            return false;
        qsizetype pos = 0;
        while (pos < chunk->size()) {
            const qsizetype nl = chunk->indexOf('\n', pos);
            if (nl < 0) {
                // Only the first bytes of a line are kept: enough to tell a blank line or the
                // header from a record.
                if (line.size() < header.size())
                    line += chunk->mid(pos, header.size());
                break;
            }
            if (line.size() < header.size())
                line += chunk->mid(pos, qMin<qsizetype>(nl - pos, header.size()));
            take(at + nl + 1);
            pos = nl + 1;
        }
        if (chunk->size() < qMin(kChunk, to - at))
            break; // the file is shorter than it was said to be
    }
    if (lineStart < to)
        take(to); // a last line without its line end
    return true;
}

void JournalHistory::reload() {
    const platform::Files& files = m_journal.files();
    std::vector<Place> places;
    qint64 currentEnd = 0;
    const QString oldFile = m_journal.oldPath();
    const QString file = m_journal.path();
    if (platform::FileExists(files, oldFile))
        index(oldFile, true, 0, files.size(oldFile).value_or(0), true, places);
    if (platform::FileExists(files, file)) {
        currentEnd = files.size(file).value_or(0);
        index(file, false, 0, currentEnd, true, places);
    }
    resetRows([&] {
        m_places = std::move(places);
        m_currentEnd = currentEnd;
        m_shown.clear();
        m_open = true;
    });
}

void JournalHistory::appended(qint64 offset, qint64 length) {
    if (!m_open)
        return;
    if (offset != m_currentEnd) {
        reload(); // the file changed behind the program's back
        return;
    }
    std::vector<Place> added;
    index(m_journal.path(), false, offset, offset + length, true, added);
    m_currentEnd = offset + length;
    if (added.empty())
        return;
    // The newest records are the top rows.
    insertRows(0, int(added.size()),
               [&] { m_places.insert(m_places.end(), added.begin(), added.end()); });
}

QStringList JournalHistory::fields(int row) const {
    if (row < 0 || row >= rowCount())
        return {};
    const qsizetype i = qsizetype(m_places.size()) - 1 - row;
    if (const QStringList* known = m_shown.object(i))
        return *known;
    const Place& p = m_places.at(std::size_t(i));
    const auto bytes = m_journal.files().readPart(p.old ? m_journal.oldPath() : m_journal.path(),
                                                  p.offset, p.length);
    ++m_reads;
    auto* fields = new QStringList(bytes ? csv::parse(*bytes) : QStringList());
    const QStringList copy = *fields;
    m_shown.insert(i, fields);
    return copy;
}

QString JournalHistory::cell(int row, int column) const {
    const QString text = fields(row).value(column);
    if (column == 0) {
        // Written as 2026-01-31, shown as the program shows dates: 31/01/2026.
        const QDate date = QDate::fromString(text, Qt::ISODate);
        if (date.isValid())
            return date.toString(QStringLiteral("dd/MM/yyyy"));
    }
    return text;
}

} // namespace watch
