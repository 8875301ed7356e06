#include "keywords/Journal.h"

namespace keywords {

void Journal::append(Entry entry) {
    insertRows(size(), 1, [&] { m_entries.push_back(std::move(entry)); });
}

void Journal::removeAt(int i) {
    if (i < 0 || i >= size())
        return;
    removeRows(i, 1, [&] { m_entries.erase(m_entries.begin() + i); });
}

QString Journal::cell(int row, int column) const {
    const Entry& e = m_entries.at(std::size_t(row));
    switch (column) {
    case 0:
        return e.time;
    case 1:
        return e.keyword;
    case 2:
        return e.url;
    default:
        return {};
    }
}

} // namespace keywords
