#include "controls/ShownRows.h"

#include <algorithm>
#include <numeric>
#include <optional>

namespace controls {

namespace {

// A cell as the sort sees it: a number (dates become numbers), or a text.
struct SortKey {
    bool numeric = false;
    double number = 0;
    QString text;
};

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

int digits(QStringView s, int from, int count) {
    int value = 0;
    for (int i = from; i < from + count; ++i)
        value = value * 10 + (s[i].unicode() - u'0');
    return value;
}

// "dd/MM/yyyy" or "dd/MM/yyyy HH:mm:ss" as the number yyyyMMddHHmmss.
std::optional<double> dateValue(QStringView s) {
    static constexpr char16_t pattern[] = u"00/00/0000 00:00:00";
    if (s.size() != 10 && s.size() != 19)
        return std::nullopt;
    for (int i = 0; i < s.size(); ++i)
        if (pattern[i] == u'0' ? !isDigit(s[i]) : s[i] != QChar(pattern[i]))
            return std::nullopt;
    double value = (digits(s, 6, 4) * 10000.0 + digits(s, 3, 2) * 100 + digits(s, 0, 2)) * 1e6;
    if (s.size() == 19)
        value += digits(s, 11, 2) * 10000 + digits(s, 14, 2) * 100 + digits(s, 17, 2);
    return value;
}

// A decimal number: an optional sign, digits, at most one point.
std::optional<double> numberValue(QStringView s) {
    s = s.trimmed();
    int i = !s.isEmpty() && (s[0] == u'-' || s[0] == u'+') ? 1 : 0;
    bool anyDigit = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (isDigit(s[i]))
            anyDigit = true;
        else if (s[i] == u'.' && !point)
            point = true;
        else
            return std::nullopt;
    }
    if (!anyDigit)
        return std::nullopt;
    bool ok = false;
    const double value = s.toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

SortKey keyOf(const QString& cell) {
    if (const auto n = numberValue(cell))
        return {true, *n, {}};
    if (const auto d = dateValue(cell))
        return {true, *d, {}};
    return {false, 0, cell};
}

int compareKeys(const SortKey& a, const SortKey& b) {
    if (a.numeric != b.numeric)
        return a.numeric ? -1 : 1;
    if (a.numeric)
        return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
    return QString::compare(a.text, b.text, Qt::CaseInsensitive);
}

} // namespace

int compareCells(const QString& a, const QString& b) {
    return compareKeys(keyOf(a), keyOf(b));
}

ShownRows::ShownRows(RowSource* source) : m_source(source) {
    connectSource();
}

void ShownRows::setSource(RowSource* source) {
    if (source == m_source)
        return;
    resetRows([&] {
        disconnect(m_source, nullptr, this, nullptr);
        m_source = source;
        rebuild();
    });
    connectSource();
}

void ShownRows::setFilter(const QString& text) {
    if (text == m_filter)
        return;
    // A longer text shows some of the rows shown now, in the same order.
    const bool narrows =
        mapped() && !m_filter.isEmpty() && text.contains(m_filter, Qt::CaseInsensitive);
    rearrange(false, [&] {
        m_filter = text;
        if (narrows) {
            const std::vector<int> shown = std::move(m_rows);
            rebuild(&shown);
        } else {
            rebuild();
        }
    });
}

void ShownRows::setOrder(int column, bool descending) {
    if (column < 0)
        descending = false;
    if (column == m_column && descending == m_descending)
        return;
    rearrange(true, [&] {
        m_column = column;
        m_descending = descending;
        rebuild();
    });
}

int ShownRows::sourceRow(int row) const {
    if (row < 0 || row >= rowCount())
        return -1;
    return mapped() ? m_rows[std::size_t(row)] : row;
}

int ShownRows::rowOf(int sourceRow) const {
    const int count = m_source->rowCount();
    if (sourceRow < 0 || sourceRow >= count)
        return -1;
    if (!mapped())
        return sourceRow;
    if (!m_shownAtValid) {
        m_shownAt.assign(std::size_t(count), -1);
        for (std::size_t i = 0; i < m_rows.size(); ++i)
            if (m_rows[i] < count)
                m_shownAt[std::size_t(m_rows[i])] = int(i);
        m_shownAtValid = true;
    }
    return m_shownAt[std::size_t(sourceRow)];
}

int ShownRows::rowCount() const {
    return mapped() ? int(m_rows.size()) : m_source->rowCount();
}

QString ShownRows::cell(int row, int column) const {
    const int s = sourceRow(row);
    return s < 0 ? QString() : m_source->cell(s, column);
}

bool ShownRows::accepts(int sourceRow) const {
    if (m_filter.isEmpty())
        return true;
    for (int c = 0; c < m_source->columnCount(); ++c)
        if (m_source->cell(sourceRow, c).contains(m_filter, Qt::CaseInsensitive))
            return true;
    return false;
}

bool ShownRows::before(int a, int b) const {
    int c = compareCells(m_source->cell(a, m_column), m_source->cell(b, m_column));
    if (m_descending)
        c = -c;
    return c != 0 ? c < 0 : a < b;
}

int ShownRows::placeOf(int sourceRow) const {
    const auto it = m_column < 0
                        ? std::lower_bound(m_rows.begin(), m_rows.end(), sourceRow)
                        : std::partition_point(m_rows.begin(), m_rows.end(),
                                               [&](int shown) { return before(shown, sourceRow); });
    return int(it - m_rows.begin());
}

void ShownRows::rebuild(const std::vector<int>* candidates) {
    m_shownAtValid = false;
    m_rows.clear();
    if (!mapped()) {
        m_rows.shrink_to_fit();
        return;
    }
    if (candidates) {
        for (int r : *candidates)
            if (accepts(r))
                m_rows.push_back(r);
        return; // already in order
    }
    const int count = m_source->rowCount();
    if (m_filter.isEmpty())
        m_rows.reserve(std::size_t(count));
    for (int r = 0; r < count; ++r)
        if (accepts(r))
            m_rows.push_back(r);
    if (m_column < 0)
        return;
    // Each cell is read and parsed once, then the rows are sorted by their keys.
    std::vector<SortKey> keys;
    keys.reserve(m_rows.size());
    for (int r : m_rows)
        keys.push_back(keyOf(m_source->cell(r, m_column)));
    std::vector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        const int c = compareKeys(keys[std::size_t(x)], keys[std::size_t(y)]);
        return m_descending ? c > 0 : c < 0;
    });
    std::vector<int> sorted(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        sorted[i] = m_rows[std::size_t(order[i])];
    m_rows = std::move(sorted);
}

void ShownRows::rearrange(bool reorderOnly, const std::function<void()>& change) {
    emit aboutToRearrange(reorderOnly);
    change();
    m_shownAtValid = false;
    emit rearranged(reorderOnly);
}

void ShownRows::connectSource() {
    // Without a filter and an order the source's announcements pass as they are.
    connect(m_source, &RowSource::aboutToReset, this, [this] { emit aboutToReset(); });
    connect(m_source, &RowSource::reset, this, [this] {
        rebuild();
        emit reset();
    });
    connect(m_source, &RowSource::aboutToInsert, this, [this](int first, int last) {
        if (!mapped())
            emit aboutToInsert(first, last);
    });
    connect(m_source, &RowSource::inserted, this, [this](int first, int last) {
        if (!mapped())
            emit inserted(first, last);
        else
            sourceInserted(first, last);
    });
    connect(m_source, &RowSource::aboutToRemove, this, [this](int first, int last) {
        if (!mapped())
            emit aboutToRemove(first, last);
        else
            sourceAboutToRemove(first, last);
    });
    connect(m_source, &RowSource::removed, this, [this](int first, int last) {
        if (!mapped())
            emit removed(first, last);
        else
            sourceRemoved(first, last);
    });
    connect(m_source, &RowSource::rowsChanged, this, [this](int first, int last) {
        if (!mapped())
            emit rowsChanged(first, last);
        else
            sourceChanged(first, last);
    });
}

void ShownRows::sourceInserted(int first, int last) {
    // The shown rows after the new ones now have higher numbers in the source.
    const int count = last - first + 1;
    for (int& r : m_rows)
        if (r >= first)
            r += count;
    m_shownAtValid = false;
    std::vector<int> added;
    for (int s = first; s <= last; ++s)
        if (accepts(s))
            added.push_back(s);
    if (added.empty())
        return;
    if (m_column < 0 || added.size() == 1) {
        // In the source's order the new rows come together, before the first row after them.
        const int at = placeOf(added.front());
        insertRows(at, int(added.size()), [&] {
            m_rows.insert(m_rows.begin() + at, added.begin(), added.end());
            m_shownAtValid = false;
        });
        return;
    }
    rearrange(false, [&] {
        std::stable_sort(added.begin(), added.end(), [this](int a, int b) { return before(a, b); });
        std::vector<int> merged;
        merged.reserve(m_rows.size() + added.size());
        std::merge(m_rows.begin(), m_rows.end(), added.begin(), added.end(),
                   std::back_inserter(merged), [this](int a, int b) { return before(a, b); });
        m_rows = std::move(merged);
    });
}

void ShownRows::sourceAboutToRemove(int first, int last) {
    // The shown rows of the source rows that go are removed now, while the source still has
    // them, a run of neighbouring shown rows at a time, the lowest run last.
    for (int end = int(m_rows.size()); end > 0;) {
        int at = end - 1;
        const auto going = [&](int i) {
            const int r = m_rows[std::size_t(i)];
            return r >= first && r <= last;
        };
        while (at >= 0 && !going(at))
            --at;
        if (at < 0)
            break;
        int start = at;
        while (start > 0 && going(start - 1))
            --start;
        removeRows(start, at - start + 1, [&] {
            m_rows.erase(m_rows.begin() + start, m_rows.begin() + at + 1);
            m_shownAtValid = false;
        });
        end = start;
    }
}

void ShownRows::sourceRemoved(int first, int last) {
    const int count = last - first + 1;
    for (int& r : m_rows)
        if (r > last)
            r -= count;
    m_shownAtValid = false;
}

void ShownRows::sourceChanged(int first, int last) {
    // A few rows are placed one by one; many at once are filtered and ordered again.
    if (last - first >= 64) {
        rearrange(false, [&] { rebuild(); });
        return;
    }
    for (int s = first; s <= last; ++s)
        rowChanged(s);
}

void ShownRows::rowChanged(int sourceRow) {
    const int at = rowOf(sourceRow);
    const bool shown = accepts(sourceRow);
    if (at < 0) {
        if (shown) {
            const int to = placeOf(sourceRow);
            insertRows(to, 1, [&] {
                m_rows.insert(m_rows.begin() + to, sourceRow);
                m_shownAtValid = false;
            });
        }
        return;
    }
    if (!shown) {
        removeRows(at, 1, [&] {
            m_rows.erase(m_rows.begin() + at);
            m_shownAtValid = false;
        });
        return;
    }
    const std::size_t i = std::size_t(at);
    const bool inPlace =
        m_column < 0 || ((i == 0 || before(m_rows[i - 1], sourceRow)) &&
                         (i + 1 == m_rows.size() || before(sourceRow, m_rows[i + 1])));
    if (inPlace) {
        emit rowsChanged(at, at);
        return;
    }
    rearrange(true, [&] {
        m_rows.erase(m_rows.begin() + at);
        const int to = placeOf(sourceRow);
        m_rows.insert(m_rows.begin() + to, sourceRow);
    });
}

} // namespace controls
