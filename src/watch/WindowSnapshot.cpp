#include "watch/WindowSnapshot.h"

namespace watch {

void WindowSnapshot::assign(std::vector<Row> rows) {
    resetRows([&] { m_rows = std::move(rows); });
}

QString WindowSnapshot::cell(int row, int column) const {
    const Row& r = m_rows.at(std::size_t(row));
    switch (column) {
    case 0:
        return r.pageName;
    case 1:
        return r.url;
    case 2:
        return QString::number(r.width);
    case 3:
        return QString::number(r.height);
    default:
        return {};
    }
}

} // namespace watch
