#pragma once

#include "controls/Control.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <cstdint>

namespace controls {

class ListView;

// The table model a view shows for a ListView; rows are read straight from the list.
class ListViewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListViewModel(ListView& list) : m_list(list) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    friend class ListView;
    ListView& m_list;
};

// A report-style list: columns with a header and a width (twips), rows of a text and
// sub-items, each row selectable. Rows are 0-based here.
class ListView : public Control {
    Q_OBJECT
public:
    struct Column {
        QString header;
        int width = 0;
    };
    struct Row {
        QStringList cells; // cells[0] is the row's text, then sub-items 1, 2, ...
        bool selected = false;
    };

    ListView(Form* form, QString name);
    Kind kind() const override { return Kind::ListView; }

    // Columns.
    const std::vector<Column>& columns() const { return m_columns; }
    void addColumn(const QString& header, int width);
    void clearColumns();
    bool headerVisible() const { return m_headerVisible; }
    void setHeaderVisible(bool visible);
    /// The list's width in twips, from which the column widths are computed.
    int width() const { return m_width; }
    void setWidth(int twips) { m_width = twips; }
    bool multiSelect() const { return m_multiSelect; }
    void setMultiSelect(bool multi) { m_multiSelect = multi; }
    /// Sorting by one column, ascending, ignoring case; while on, rows keep that order.
    bool sorted() const { return m_sorted; }
    void setSorted(bool sorted);
    int sortKey() const { return m_sortKey; }
    void setSortKey(int column) { m_sortKey = column; }

    // Rows.
    int rowCount() const { return int(m_rows.size()); }
    const Row& row(int r) const { return m_rows.at(r); }
    const std::vector<Row>& rows() const { return m_rows; }
    QString text(int r) const { return m_rows.at(r).cells.value(0); }
    /// Sub-item k (1-based as the program names them) of row r; empty when not set.
    QString subItem(int r, int k) const { return m_rows.at(r).cells.value(k); }
    void setText(int r, const QString& text) { setCell(r, 0, text); }
    void setSubItem(int r, int k, const QString& text) { setCell(r, k, text); }
    void setCell(int r, int column, const QString& text);
    /// Appends a row at the bottom (at its sorted place while sorted); returns its index.
    int appendRow(const QStringList& cells);
    /// Inserts a row before position r (0 is the top; at its sorted place while sorted).
    int insertRow(int r, const QStringList& cells);
    void removeRow(int r);
    void clear();
    /// Replaces every row at once.
    void setRows(std::vector<Row> rows);

    // Selection.
    bool isSelected(int r) const { return m_rows.at(r).selected; }
    /// Selects or deselects a row; a single-selection list drops its other selection.
    void setSelected(int r, bool selected);
    /// The first selected row from the top, or -1.
    int firstSelected() const;
    void selectAll(bool selected);

    /// Grows at every change of the rows' contents (not of the selection).
    std::uint64_t revision() const { return m_revision; }
    /// Grows when rows are added, removed or replaced (not when a cell changes).
    std::uint64_t layoutRevision() const { return m_layoutRevision; }

    QAbstractTableModel* model() { return &m_model; }

    std::function<void()> onClick;
    std::function<void()> onDblClick;
    /// The user's click or double click.
    void click();
    void dblClick();

private:
    void touched(bool layout = false);
    int sortedPosition(const QStringList& cells) const;
    void sortRows();

    ListViewModel m_model;
    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    bool m_headerVisible = true;
    bool m_multiSelect = false;
    bool m_sorted = false;
    int m_sortKey = 0;
    int m_width = 0;
    std::uint64_t m_revision = 0;
    std::uint64_t m_layoutRevision = 0;
};

// A list of texts with a selection (one or several items).
class ListBox : public Control {
    Q_OBJECT
public:
    ListBox(Form* form, QString name);
    Kind kind() const override { return Kind::ListBox; }

    int count() const { return int(m_items.size()); }
    const QStringList& items() const { return m_items; }
    QString item(int i) const { return m_items.at(i); }
    void addItem(const QString& text);
    void insertItem(int i, const QString& text);
    void removeItem(int i);
    void clear();
    bool multiSelect() const { return m_multiSelect; }
    void setMultiSelect(bool multi) { m_multiSelect = multi; }
    bool isSelected(int i) const { return m_selected.at(i); }
    void setSelected(int i, bool selected);
    /// The first selected item, or -1.
    int firstSelected() const;
    /// The current item (the last one clicked or set), or -1.
    int listIndex() const { return m_listIndex; }
    void setListIndex(int i);

    std::function<void()> onClick;
    std::function<void()> onDblClick;
    void click();
    void dblClick();

private:
    QStringList m_items;
    std::vector<bool> m_selected;
    bool m_multiSelect = false;
    int m_listIndex = -1;
};

} // namespace controls
