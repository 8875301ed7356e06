#include "controls/ListView.h"

#include <algorithm>
#include <numeric>

namespace controls {

int ListViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_list.rowCount();
}

int ListViewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_list.columns().size());
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_list.rowCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_list.cell(index.row(), index.column());
    return {};
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole &&
        section < int(m_list.columns().size()))
        return m_list.columns().at(section).header;
    return {};
}

void ListViewModel::beginReorder(const ShownRows& rows) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_held = persistentIndexList();
    m_heldSources.clear();
    for (const QModelIndex& index : std::as_const(m_held))
        m_heldSources.push_back(rows.sourceRow(index.row()));
}

void ListViewModel::endReorder(const ShownRows& rows) {
    QModelIndexList to;
    for (std::size_t i = 0; i < m_heldSources.size(); ++i) {
        const int r = rows.rowOf(m_heldSources[i]);
        to.append(r < 0 ? QModelIndex() : index(r, m_held.at(qsizetype(i)).column()));
    }
    changePersistentIndexList(m_held, to);
    m_held.clear();
    m_heldSources.clear();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int OwnRows::columnCount() const {
    return m_rows.empty() ? 0 : int(m_rows.front().size());
}

void OwnRows::setCell(int row, int column, const QString& text) {
    QStringList& cells = m_rows[row];
    while (cells.size() <= column)
        cells.append(QString());
    if (cells[column] == text)
        return;
    cells[column] = text;
    emit rowsChanged(row, row);
}

void OwnRows::insert(int row, std::vector<QStringList> rows) {
    insertRows(row, int(rows.size()), [&] {
        m_rows.insert(m_rows.begin() + row, std::make_move_iterator(rows.begin()),
                      std::make_move_iterator(rows.end()));
    });
}

void OwnRows::remove(int row) {
    removeRows(row, 1, [&] { m_rows.erase(m_rows.begin() + row); });
}

void OwnRows::assign(std::vector<QStringList> rows) {
    resetRows([&] { m_rows = std::move(rows); });
}

void OwnRows::reorder(const std::vector<int>& order) {
    resetRows([&] {
        std::vector<QStringList> sorted;
        sorted.reserve(order.size());
        for (int i : order)
            sorted.push_back(std::move(m_rows[i]));
        m_rows = std::move(sorted);
    });
}

ListView::ListView(Form* form, QString name) : Control(form, std::move(name)), m_model(*this) {
    connectRows();
}

void ListView::bind(RowSource* source) {
    if (!source)
        source = &m_own;
    if (source == m_shown.source())
        return;
    m_shown.setSource(source);
    emit changed();
}

void ListView::connectRows() {
    // The table model follows the shown rows one by one; the selection follows the rows.
    connect(&m_shown, &RowSource::aboutToReset, this, [this] { m_model.beginResetModel(); });
    connect(&m_shown, &RowSource::reset, this, [this] {
        m_selected.assign(std::size_t(rowCount()), false);
        m_model.endResetModel();
    });
    connect(&m_shown, &RowSource::aboutToInsert, this,
            [this](int first, int last) { m_model.beginInsertRows({}, first, last); });
    connect(&m_shown, &RowSource::inserted, this, [this](int first, int last) {
        m_selected.insert(m_selected.begin() + first, std::size_t(last - first + 1), false);
        m_model.endInsertRows();
    });
    connect(&m_shown, &RowSource::aboutToRemove, this,
            [this](int first, int last) { m_model.beginRemoveRows({}, first, last); });
    connect(&m_shown, &RowSource::removed, this, [this](int first, int last) {
        m_selected.erase(m_selected.begin() + first, m_selected.begin() + last + 1);
        m_model.endRemoveRows();
    });
    connect(&m_shown, &RowSource::rowsChanged, this, [this](int first, int last) {
        emit m_model.dataChanged(m_model.index(first, 0),
                                 m_model.index(last, qMax(0, int(m_columns.size()) - 1)));
    });
    connect(&m_shown, &ShownRows::aboutToRearrange, this,
            [this](bool reorderOnly) { keepSelectionDuring(reorderOnly, true); });
    connect(&m_shown, &ShownRows::rearranged, this,
            [this](bool reorderOnly) { keepSelectionDuring(reorderOnly, false); });
}

void ListView::keepSelectionDuring(bool reorderOnly, bool starting) {
    // The selected source rows stay selected wherever they are shown; those the filter hides
    // are no longer selected. A new order keeps the views' own indexes (scroll place, current
    // row); other changes show the rows anew.
    if (starting) {
        m_selectedSources.clear();
        for (std::size_t r = 0; r < m_selected.size(); ++r)
            if (m_selected[r])
                m_selectedSources.push_back(sourceRow(int(r)));
        if (reorderOnly)
            m_model.beginReorder(m_shown);
        else
            m_model.beginResetModel();
        return;
    }
    m_selected.assign(std::size_t(rowCount()), false);
    for (int s : m_selectedSources)
        if (const int r = m_shown.rowOf(s); r >= 0)
            m_selected[std::size_t(r)] = true;
    m_selectedSources.clear();
    if (reorderOnly)
        m_model.endReorder(m_shown);
    else
        m_model.endResetModel();
    emit changed();
}

void ListView::setFilterText(const QString& text) {
    m_shown.setFilter(text);
}

void ListView::setOrder(int column, bool descending) {
    if (column >= int(m_columns.size()))
        return;
    if (column == orderColumn() && descending == orderDescending())
        return;
    m_shown.setOrder(column, descending);
    emit changed();
}

void ListView::headerClicked(int column) {
    if (column < 0)
        return;
    setOrder(column, column == orderColumn() && !orderDescending());
}

void ListView::addColumn(const QString& header, int width) {
    m_model.beginResetModel();
    m_columns.push_back({header, width});
    m_model.endResetModel();
    emit changed();
}

void ListView::clearColumns() {
    m_model.beginResetModel();
    m_columns.clear();
    m_model.endResetModel();
    emit changed();
}

void ListView::setHeaderVisible(bool visible) {
    if (visible == m_headerVisible)
        return;
    m_headerVisible = visible;
    emit changed();
}

void ListView::setSorted(bool sorted) {
    if (sorted == m_sorted)
        return;
    m_sorted = sorted;
    if (m_sorted)
        sortRows();
}

QStringList ListView::cells(int r) const {
    if (!bound())
        return m_own.cells(sourceRow(r));
    QStringList all;
    for (int c = 0; c < m_shown.columnCount(); ++c)
        all.append(m_shown.cell(r, c));
    return all;
}

void ListView::setCell(int r, int column, const QString& text) {
    if (bound() || r < 0 || r >= rowCount() || column < 0)
        return;
    m_own.setCell(sourceRow(r), column, text);
    if (m_sorted && column == m_sortKey)
        sortRows();
}

int ListView::sortedPosition(const QStringList& cells) const {
    const QString key = cells.value(m_sortKey);
    int lo = 0;
    int hi = m_own.rowCount();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (QString::compare(key, m_own.cell(mid, m_sortKey), Qt::CaseInsensitive) < 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

void ListView::sortRows() {
    if (bound())
        return;
    std::vector<int> order(std::size_t(m_own.rowCount()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return QString::compare(m_own.cell(a, m_sortKey), m_own.cell(b, m_sortKey),
                                Qt::CaseInsensitive) < 0;
    });
    // The selected rows stay selected at their new places.
    std::vector<bool> wasSelected(order.size(), false);
    for (std::size_t r = 0; r < m_selected.size(); ++r)
        if (m_selected[r])
            wasSelected[std::size_t(sourceRow(int(r)))] = true;
    m_own.reorder(order);
    for (std::size_t i = 0; i < order.size(); ++i)
        if (wasSelected[std::size_t(order[i])])
            if (const int r = m_shown.rowOf(int(i)); r >= 0)
                m_selected[std::size_t(r)] = true;
}

int ListView::appendRow(const QStringList& cells) {
    return insertRow(rowCount(), cells);
}

int ListView::ownPosition(int r) const {
    return r >= 0 && r < rowCount() ? sourceRow(r) : (r < 0 ? 0 : m_own.rowCount());
}

int ListView::insertRow(int r, const QStringList& cells) {
    if (bound())
        return -1;
    const int own = m_sorted ? sortedPosition(cells) : ownPosition(r);
    m_own.insert(own, {cells});
    return m_shown.rowOf(own);
}

void ListView::insertRows(int r, std::vector<QStringList> rows) {
    if (bound())
        return;
    m_own.insert(ownPosition(r), std::move(rows));
    if (m_sorted)
        sortRows();
}

void ListView::removeRow(int r) {
    if (bound() || r < 0 || r >= rowCount())
        return;
    m_own.remove(sourceRow(r));
}

void ListView::clear() {
    if (bound() || m_own.rowCount() == 0)
        return;
    m_own.assign({});
}

void ListView::setRows(std::vector<QStringList> rows) {
    if (bound())
        return;
    m_own.assign(std::move(rows));
    if (m_sorted)
        sortRows();
}

void ListView::selectionChanged(int first, int last) {
    emit m_model.dataChanged(m_model.index(first, 0), m_model.index(last, 0));
    emit changed();
}

void ListView::setSelected(int r, bool selected) {
    if (r < 0 || r >= rowCount())
        return;
    if (selected && !m_multiSelect)
        for (int i = 0; i < rowCount(); ++i)
            if (i != r && m_selected[i]) {
                m_selected[i] = false;
                emit m_model.dataChanged(m_model.index(i, 0), m_model.index(i, 0));
            }
    if (m_selected[r] == selected)
        return;
    m_selected[r] = selected;
    selectionChanged(r, r);
}

int ListView::firstSelected() const {
    const auto it = std::find(m_selected.begin(), m_selected.end(), true);
    return it == m_selected.end() ? -1 : int(it - m_selected.begin());
}

void ListView::selectAll(bool selected) {
    std::fill(m_selected.begin(), m_selected.end(), selected);
    if (rowCount() > 0)
        selectionChanged(0, rowCount() - 1);
    else
        emit changed();
}

void ListView::click() {
    if (enabled() && onClick)
        onClick();
}

void ListView::dblClick() {
    if (enabled() && onDblClick)
        onDblClick();
}

ListBox::ListBox(Form* form, QString name) : Control(form, std::move(name)) {}

void ListBox::addItem(const QString& text) {
    insertItem(count(), text);
}

void ListBox::insertItem(int i, const QString& text) {
    i = std::clamp(i, 0, count());
    m_items.insert(i, text);
    m_selected.insert(m_selected.begin() + i, false);
    if (m_listIndex >= i)
        ++m_listIndex;
    emit changed();
}

void ListBox::removeItem(int i) {
    if (i < 0 || i >= count())
        return;
    m_items.removeAt(i);
    m_selected.erase(m_selected.begin() + i);
    if (m_listIndex == i)
        m_listIndex = -1;
    else if (m_listIndex > i)
        --m_listIndex;
    emit changed();
}

void ListBox::clear() {
    m_items.clear();
    m_selected.clear();
    m_listIndex = -1;
    emit changed();
}

void ListBox::setSelected(int i, bool selected) {
    if (i < 0 || i >= count())
        return;
    if (selected && !m_multiSelect)
        std::fill(m_selected.begin(), m_selected.end(), false);
    m_selected[i] = selected;
    if (selected)
        m_listIndex = i;
    emit changed();
}

int ListBox::firstSelected() const {
    for (int i = 0; i < count(); ++i)
        if (m_selected[i])
            return i;
    return -1;
}

void ListBox::setListIndex(int i) {
    if (i < -1 || i >= count())
        return;
    m_listIndex = i;
    if (!m_multiSelect) {
        std::fill(m_selected.begin(), m_selected.end(), false);
        if (i >= 0)
            m_selected[i] = true;
    }
    emit changed();
}

void ListBox::click() {
    if (enabled() && onClick)
        onClick();
}

void ListBox::dblClick() {
    if (enabled() && onDblClick)
        onDblClick();
}

} // namespace controls
