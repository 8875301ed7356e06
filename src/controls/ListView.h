#pragma once

#include "controls/Control.h"
#include "controls/RowSource.h"
#include "controls/ShownRows.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

namespace controls {

class ListView;

// The table model a view shows for a ListView; rows are read straight from the list's source.
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
    /// The shown rows are about to be put in another order: remembers, for each index a view
    /// holds on to, the source row behind it.
    void beginReorder(const ShownRows& rows);
    /// Moves each index a view holds on to where its source row is shown now.
    void endReorder(const ShownRows& rows);

    ListView& m_list;
    QModelIndexList m_held;
    std::vector<int> m_heldSources;
};

// Rows that a list view keeps itself (lists that show no data of the program's own, such as
// the cookie files of a folder).
class OwnRows : public RowSource {
    Q_OBJECT
public:
    int rowCount() const override { return int(m_rows.size()); }
    int columnCount() const override;
    QString cell(int row, int column) const override { return m_rows.at(row).value(column); }
    const QStringList& cells(int row) const { return m_rows.at(row); }

    void setCell(int row, int column, const QString& text);
    void insert(int row, std::vector<QStringList> rows);
    void remove(int row);
    void assign(std::vector<QStringList> rows);
    /// Puts the rows in this order (a permutation of the row numbers).
    void reorder(const std::vector<int>& order);

private:
    std::vector<QStringList> m_rows;
};

// A report-style list: columns with a header and a width (twips), rows of a text and
// sub-items, each row selectable. Rows are 0-based here. A list shows either rows of its own
// or the rows of a source it is bound to; the selection is always the list's. The user can
// narrow the rows to those holding a text and order them by a column: rows, cells and the
// selection are then those shown, and `sourceRow` gives the source row behind a shown row.
class ListView : public Control {
    Q_OBJECT
public:
    struct Column {
        QString header;
        int width = 0;
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
    /// Sorting of the list's own rows by one column, ascending, ignoring case; while on, rows
    /// keep that order.
    bool sorted() const { return m_sorted; }
    void setSorted(bool sorted);
    int sortKey() const { return m_sortKey; }
    void setSortKey(int column) { m_sortKey = column; }

    /// Shows the rows of `source` (not owned) instead of the list's own; null goes back to them.
    void bind(RowSource* source);
    bool bound() const { return m_shown.source() != &m_own; }

    // The rows shown: those holding the filter text, in the order of a column.
    const QString& filterText() const { return m_shown.filter(); }
    /// Shows only the rows with a cell holding `text`, case ignored (empty: every row).
    void setFilterText(const QString& text);
    /// The column the shown rows are ordered by (-1: the source's order).
    int orderColumn() const { return m_shown.orderColumn(); }
    bool orderDescending() const { return m_shown.descending(); }
    void setOrder(int column, bool descending);
    /// A click on a column's header: orders by that column, or reverses the order when the
    /// rows are ordered by it already.
    void headerClicked(int column);
    /// The row of the source (the bound data, or the list's own rows) shown at row r; -1 when
    /// there is none.
    int sourceRow(int r) const { return m_shown.sourceRow(r); }
    /// The source row behind the first selected row, or -1.
    int selectedSourceRow() const { return sourceRow(firstSelected()); }
    /// Every row of the source, shown or not.
    int sourceRowCount() const { return m_shown.source()->rowCount(); }

    // Rows (as shown).
    int rowCount() const { return m_shown.rowCount(); }
    QString cell(int r, int column) const { return m_shown.cell(r, column); }
    QString text(int r) const { return cell(r, 0); }
    /// Sub-item k (1-based as the program names them) of row r; empty when not set.
    QString subItem(int r, int k) const { return cell(r, k); }
    /// Every cell of row r, its text first.
    QStringList cells(int r) const;

    // The list's own rows (not while bound).
    void setText(int r, const QString& text) { setCell(r, 0, text); }
    void setSubItem(int r, int k, const QString& text) { setCell(r, k, text); }
    void setCell(int r, int column, const QString& text);
    /// Appends a row at the bottom (at its sorted place while sorted); returns its index.
    int appendRow(const QStringList& cells);
    /// Inserts a row before position r (0 is the top; at its sorted place while sorted).
    int insertRow(int r, const QStringList& cells);
    /// Inserts rows before position r, in their order (sorted afterwards while sorted).
    void insertRows(int r, std::vector<QStringList> rows);
    void removeRow(int r);
    void clear();
    /// Replaces every row at once.
    void setRows(std::vector<QStringList> rows);

    // Selection.
    bool isSelected(int r) const { return r >= 0 && r < int(m_selected.size()) && m_selected[r]; }
    /// Selects or deselects a row; a single-selection list drops its other selection.
    void setSelected(int r, bool selected);
    /// The first selected row from the top, or -1.
    int firstSelected() const;
    void selectAll(bool selected);

    QAbstractTableModel* model() { return &m_model; }

    std::function<void()> onClick;
    std::function<void()> onDblClick;
    /// The user's click or double click.
    void click();
    void dblClick();

private:
    void connectRows();
    /// Where in the list's own rows a row given at shown position r goes.
    int ownPosition(int r) const;
    void keepSelectionDuring(bool reorderOnly, bool starting);
    int sortedPosition(const QStringList& cells) const;
    void sortRows();
    void selectionChanged(int first, int last);

    ListViewModel m_model;
    OwnRows m_own;
    ShownRows m_shown{&m_own};
    std::vector<Column> m_columns;
    std::vector<bool> m_selected;
    std::vector<int> m_selectedSources; // the selection's source rows while rows rearrange
    bool m_headerVisible = true;
    bool m_multiSelect = false;
    bool m_sorted = false;
    int m_sortKey = 0;
    int m_width = 0;
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
