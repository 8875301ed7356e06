#pragma once

#include "controls/RowSource.h"

#include <QString>
#include <vector>

namespace controls {

/// Compares two cells as a list sorts them: numbers as numbers, dates "dd/MM/yyyy[ HH:mm:ss]"
/// as dates, numbers and dates before texts, texts ignoring case. Negative, 0 or positive.
int compareCells(const QString& a, const QString& b);

// The rows a list view shows of its source: those with a cell holding the filter text, in the
// order of one column. Without a filter and an order it shows the source's rows as they are
// and holds nothing; otherwise it holds the numbers of the source rows it shows, never their
// text, so a list of 100,000 rows is not copied. It follows every change of its source and
// announces the shown rows' changes in its turn.
class ShownRows : public RowSource {
    Q_OBJECT
public:
    explicit ShownRows(RowSource* source);

    RowSource* source() const { return m_source; }
    /// Shows another source (not owned); the filter and the order stay.
    void setSource(RowSource* source);

    const QString& filter() const { return m_filter; }
    /// Shows only the rows with a cell holding `text`, case ignored; empty shows every row.
    void setFilter(const QString& text);
    /// The column the rows are ordered by, or -1 for the source's order.
    int orderColumn() const { return m_column; }
    bool descending() const { return m_descending; }
    /// Orders the rows by a column (-1: the source's order). Equal cells keep the source's order.
    void setOrder(int column, bool descending);

    /// The source row shown at `row` (-1 for a row that is not there).
    int sourceRow(int row) const;
    /// Where a source row is shown, or -1 when the filter hides it.
    int rowOf(int sourceRow) const;

    int rowCount() const override;
    int columnCount() const override { return m_source->columnCount(); }
    QString cell(int row, int column) const override;

signals:
    /// The shown rows change together (a new filter or order, a row moving) while every source
    /// row stays the same row: a list keeps its selection on the same source rows.
    /// `reorderOnly`: the same rows are shown, in another order.
    void aboutToRearrange(bool reorderOnly);
    void rearranged(bool reorderOnly);

private:
    bool mapped() const { return !m_filter.isEmpty() || m_column >= 0; }
    bool accepts(int sourceRow) const;
    bool before(int a, int b) const;
    /// Where a source row belongs among the shown rows.
    int placeOf(int sourceRow) const;
    /// The shown rows computed again; `candidates` narrows them (null: every source row).
    void rebuild(const std::vector<int>* candidates = nullptr);
    void rearrange(bool reorderOnly, const std::function<void()>& change);

    void connectSource();
    void sourceInserted(int first, int last);
    void sourceAboutToRemove(int first, int last);
    void sourceRemoved(int first, int last);
    void sourceChanged(int first, int last);
    void rowChanged(int sourceRow);

    RowSource* m_source;
    QString m_filter;
    int m_column = -1;
    bool m_descending = false;
    std::vector<int> m_rows;            // the source row of each shown row, while mapped
    mutable std::vector<int> m_shownAt; // the inverse, built when asked for
    mutable bool m_shownAtValid = false;
};

} // namespace controls
