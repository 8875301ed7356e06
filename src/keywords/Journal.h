#pragma once

#include "controls/RowSource.h"

#include <QString>
#include <vector>

namespace keywords {

// The closures of this run by keyword: when, which keyword, which address. Kept for the run
// only. Shown as rows of the time, the keyword and the address.
class Journal : public controls::RowSource {
    Q_OBJECT
public:
    struct Entry {
        QString time; // "HH:mm:ss"
        QString keyword;
        QString url;
    };

    int size() const { return int(m_entries.size()); }
    const Entry& at(int i) const { return m_entries.at(std::size_t(i)); }
    void append(Entry entry);
    void removeAt(int i);

    int rowCount() const override { return size(); }
    int columnCount() const override { return 3; }
    QString cell(int row, int column) const override;

private:
    std::vector<Entry> m_entries;
};

} // namespace keywords
