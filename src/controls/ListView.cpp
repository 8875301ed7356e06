#include "controls/ListView.h"

#include <algorithm>

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
        return m_list.row(index.row()).cells.value(index.column());
    return {};
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole &&
        section < int(m_list.columns().size()))
        return m_list.columns().at(section).header;
    return {};
}

ListView::ListView(Form* form, QString name) : Control(form, std::move(name)), m_model(*this) {}

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

void ListView::touched(bool layout) {
    ++m_revision;
    if (layout)
        ++m_layoutRevision;
}

void ListView::setCell(int r, int column, const QString& text) {
    if (r < 0 || r >= rowCount() || column < 0)
        return;
    QStringList& cells = m_rows[r].cells;
    while (cells.size() <= column)
        cells.append(QString());
    if (cells[column] == text)
        return;
    cells[column] = text;
    touched();
    const QModelIndex i = m_model.index(r, column);
    emit m_model.dataChanged(i, i);
    if (m_sorted && column == m_sortKey)
        sortRows();
}

int ListView::sortedPosition(const QStringList& cells) const {
    const QString key = cells.value(m_sortKey);
    auto it =
        std::upper_bound(m_rows.begin(), m_rows.end(), key, [this](const QString& k, const Row& r) {
            return QString::compare(k, r.cells.value(m_sortKey), Qt::CaseInsensitive) < 0;
        });
    return int(it - m_rows.begin());
}

void ListView::sortRows() {
    m_model.beginResetModel();
    std::stable_sort(m_rows.begin(), m_rows.end(), [this](const Row& a, const Row& b) {
        return QString::compare(a.cells.value(m_sortKey), b.cells.value(m_sortKey),
                                Qt::CaseInsensitive) < 0;
    });
    m_model.endResetModel();
    touched(true);
}

int ListView::appendRow(const QStringList& cells) {
    return insertRow(rowCount(), cells);
}

int ListView::insertRow(int r, const QStringList& cells) {
    r = m_sorted ? sortedPosition(cells) : std::clamp(r, 0, rowCount());
    m_model.beginInsertRows({}, r, r);
    m_rows.insert(m_rows.begin() + r, Row{cells, false});
    m_model.endInsertRows();
    touched(true);
    return r;
}

void ListView::removeRow(int r) {
    if (r < 0 || r >= rowCount())
        return;
    m_model.beginRemoveRows({}, r, r);
    m_rows.erase(m_rows.begin() + r);
    m_model.endRemoveRows();
    touched(true);
}

void ListView::clear() {
    if (m_rows.empty())
        return;
    m_model.beginResetModel();
    m_rows.clear();
    m_model.endResetModel();
    touched(true);
}

void ListView::setRows(std::vector<Row> rows) {
    m_model.beginResetModel();
    m_rows = std::move(rows);
    m_model.endResetModel();
    touched(true);
    if (m_sorted)
        sortRows();
}

void ListView::setSelected(int r, bool selected) {
    if (r < 0 || r >= rowCount())
        return;
    if (selected && !m_multiSelect)
        for (int i = 0; i < rowCount(); ++i)
            if (i != r && m_rows[i].selected) {
                m_rows[i].selected = false;
                emit m_model.dataChanged(m_model.index(i, 0), m_model.index(i, 0));
            }
    if (m_rows[r].selected == selected)
        return;
    m_rows[r].selected = selected;
    emit m_model.dataChanged(m_model.index(r, 0), m_model.index(r, 0));
    emit changed();
}

int ListView::firstSelected() const {
    for (int i = 0; i < rowCount(); ++i)
        if (m_rows[i].selected)
            return i;
    return -1;
}

void ListView::selectAll(bool selected) {
    for (int i = 0; i < rowCount(); ++i)
        m_rows[i].selected = selected;
    if (rowCount() > 0)
        emit m_model.dataChanged(m_model.index(0, 0), m_model.index(rowCount() - 1, 0));
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
