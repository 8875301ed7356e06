#include "watch/WindowSnapshot.h"

#include <QSet>

namespace watch {

namespace {
bool sameCells(const WindowSnapshot::Row& a, const WindowSnapshot::Row& b) {
    return a.pageName == b.pageName && a.url == b.url && a.width == b.width &&
           a.height == b.height && a.sizeRead == b.sizeRead;
}
} // namespace

void WindowSnapshot::assign(std::vector<Row> rows) {
    // Most ticks list the same windows as the one before: only the rows that changed are
    // announced, one run at a time, so that a list showing them does not start over. Windows
    // keep their order from one listing to the next; a new one comes in where it is listed,
    // and one no longer listed goes.
    QSet<platform::WindowHandle> listed; // made when a window came or went
    const auto isListed = [&](platform::WindowHandle handle) {
        if (listed.isEmpty())
            for (const Row& r : rows)
                listed.insert(r.handle);
        return listed.contains(handle);
    };
    std::size_t i = 0; // in m_rows, which becomes `rows` up to i
    std::size_t j = 0; // in rows
    while (j < rows.size()) {
        if (i < m_rows.size() && m_rows[i].handle == rows[j].handle) {
            // A run of the same windows: the rows whose cells changed are updated.
            constexpr std::size_t kNone = std::size_t(-1);
            std::size_t changedFrom = kNone;
            for (; i < m_rows.size() && j < rows.size() && m_rows[i].handle == rows[j].handle;
                 ++i, ++j) {
                if (sameCells(m_rows[i], rows[j])) {
                    if (changedFrom != kNone)
                        emit rowsChanged(int(changedFrom), int(i) - 1);
                    changedFrom = kNone;
                    continue;
                }
                m_rows[i] = std::move(rows[j]);
                if (changedFrom == kNone)
                    changedFrom = i;
            }
            if (changedFrom != kNone)
                emit rowsChanged(int(changedFrom), int(i) - 1);
            continue;
        }
        if (i < m_rows.size() && !isListed(m_rows[i].handle)) {
            // Windows no longer listed go, a run at a time.
            std::size_t end = i + 1;
            while (end < m_rows.size() && !isListed(m_rows[end].handle))
                ++end;
            removeRows(int(i), int(end - i), [&] {
                m_rows.erase(m_rows.begin() + std::ptrdiff_t(i),
                             m_rows.begin() + std::ptrdiff_t(end));
            });
            continue;
        }
        // Windows new at this place (or moved here) come in before row i, a run at a time.
        std::size_t end = j + 1;
        while (end < rows.size() && (i >= m_rows.size() || rows[end].handle != m_rows[i].handle))
            ++end;
        insertRows(int(i), int(end - j), [&] {
            m_rows.insert(m_rows.begin() + std::ptrdiff_t(i),
                          std::make_move_iterator(rows.begin() + std::ptrdiff_t(j)),
                          std::make_move_iterator(rows.begin() + std::ptrdiff_t(end)));
        });
        i += end - j;
        j = end;
    }
    if (i < m_rows.size()) {
        const int first = int(i);
        removeRows(first, int(m_rows.size() - i),
                   [&] { m_rows.erase(m_rows.begin() + std::ptrdiff_t(i), m_rows.end()); });
    }
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
