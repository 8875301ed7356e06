#pragma once

#include "controls/RowSource.h"
#include "watch/JournalFile.h"

#include <QCache>
#include <QStringList>
#include <vector>

namespace watch {

// The lasting journal as rows, newest first: date, time, cause, keyword, page name and
// address. Opening it only finds where each record begins in the two files; a record is read
// and decoded when its row is shown, and the last rows shown are kept. Records appended
// later join at the top; a rotation, or a file changed behind the program's back, has the
// files looked through again.
class JournalHistory : public controls::RowSource {
    Q_OBJECT
public:
    explicit JournalHistory(const JournalFile& journal);

    /// Finds the records (the first time the list is shown); later calls do nothing.
    void open();
    bool isOpen() const { return m_open; }
    /// Looks through both files again.
    void reload();

    int rowCount() const override { return int(m_places.size()); }
    int columnCount() const override { return 6; }
    QString cell(int row, int column) const override;
    /// The fields of the record shown at this row.
    QStringList fields(int row) const;
    /// Records read from the files since the list was opened (a row shown again is not read).
    qint64 recordsRead() const { return m_reads; }

private:
    struct Place {
        qint64 offset = 0;
        qint32 length = 0;
        bool old = false; // in the old file
    };
    /// Adds the places of the records in bytes [from, to) of a file; false when it could not
    /// be read.
    bool index(const QString& path, bool old, qint64 from, qint64 to, bool skipHeader,
               std::vector<Place>& into) const;
    void appended(qint64 offset, qint64 length);

    const JournalFile& m_journal;
    bool m_open = false;
    std::vector<Place> m_places; // oldest first: row r is m_places[size - 1 - r]
    qint64 m_currentEnd = 0;     // bytes of the current file looked through
    mutable QCache<qsizetype, QStringList> m_shown{2000};
    mutable qint64 m_reads = 0;
};

} // namespace watch
