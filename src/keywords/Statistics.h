#pragma once

#include "controls/RowSource.h"
#include "keywords/TextTable.h"

#include <QString>
#include <vector>

namespace keywords {

// The closure counts per keyword, in the order of the statistics file: each entry holds a
// keyword and the number of windows it closed. Several entries may hold the same keyword; a
// closure counts against the first of them. Shown as rows of the count and the keyword.
class Statistics : public controls::RowSource {
    Q_OBJECT
public:
    struct Entry {
        QString keyword;
        qint64 count = 0;
    };

    int size() const { return int(m_entries.size()); }
    const Entry& at(int i) const { return m_entries.at(std::size_t(i)); }
    const std::vector<Entry>& entries() const { return m_entries; }

    /// Adds entries after the last one.
    void append(std::vector<Entry> entries);
    void append(const QString& keyword, qint64 count = 0) { append({{keyword, count}}); }
    /// Adds 1 to the first entry holding exactly this keyword; false when none does.
    bool increment(const QString& keyword);

    int rowCount() const override { return size(); }
    int columnCount() const override { return 2; }
    QString cell(int row, int column) const override;

private:
    /// The first entry holding exactly this keyword, or -1.
    int firstEntry(const QString& keyword) const;

    std::vector<Entry> m_entries;
    // The first entry of each keyword, by the keyword's hash.
    TextTable m_firstEntry;
};

} // namespace keywords
