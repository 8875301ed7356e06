#include "keywords/Statistics.h"

#include <algorithm>
#include <limits>

namespace keywords {

void Statistics::append(std::vector<Entry> entries) {
    const int first = size();
    insertRows(first, int(entries.size()), [&] {
        // Grown as push_back grows it: a reserve of the exact size at every row added would
        // copy every entry each time.
        const std::size_t needed = m_entries.size() + entries.size();
        if (needed > m_entries.capacity())
            m_entries.reserve(std::max(needed, 2 * m_entries.capacity()));
        m_firstEntry.reserve(size() + int(entries.size()));
        for (Entry& e : entries) {
            if (firstEntry(e.keyword) < 0)
                m_firstEntry.insert(TextTable::hash(e.keyword), size());
            m_entries.push_back(std::move(e));
        }
    });
}

int Statistics::firstEntry(const QString& keyword) const {
    int first = -1;
    m_firstEntry.forEach(TextTable::hash(keyword), [&](int i) {
        if (m_entries[std::size_t(i)].keyword == keyword)
            first = i;
        return first < 0;
    });
    return first;
}

bool Statistics::increment(const QString& keyword) {
    const int i = firstEntry(keyword);
    if (i < 0)
        return false;
    qint64& count = m_entries[std::size_t(i)].count;
    if (count < std::numeric_limits<qint64>::max())
        ++count;
    emit rowsChanged(i, i);
    return true;
}

QString Statistics::cell(int row, int column) const {
    const Entry& e = m_entries.at(std::size_t(row));
    switch (column) {
    case 0:
        return QString::number(e.count);
    case 1:
        return e.keyword;
    default:
        return {};
    }
}

} // namespace keywords
