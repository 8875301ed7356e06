#include "keywords/Statistics.h"

#include <limits>

namespace keywords {

void Statistics::append(std::vector<Entry> entries) {
    const int first = size();
    insertRows(first, int(entries.size()), [&] {
        m_entries.reserve(m_entries.size() + entries.size());
        for (Entry& e : entries) {
            if (!m_firstEntry.contains(e.keyword))
                m_firstEntry.insert(e.keyword, size());
            m_entries.push_back(std::move(e));
        }
    });
}

bool Statistics::increment(const QString& keyword) {
    const auto it = m_firstEntry.constFind(keyword);
    if (it == m_firstEntry.constEnd())
        return false;
    const int i = it.value();
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
