#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace controls {

// Rows of text cells that a list view shows without owning them. The program's lists (the
// keywords, the journal, the statistics, the open windows) present their entries through it,
// and announce every change before and after it happens, so that a view can follow row by row.
class RowSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual int rowCount() const = 0;
    /// The number of cells each row has.
    virtual int columnCount() const = 0;
    /// The text of one cell; column 0 is the row's own text, then its sub-items.
    virtual QString cell(int row, int column) const = 0;

signals:
    void aboutToReset();
    void reset();
    void aboutToInsert(int first, int last);
    void inserted(int first, int last);
    void aboutToRemove(int first, int last);
    void removed(int first, int last);
    /// Cells of rows first..last changed; the number of rows did not.
    void rowsChanged(int first, int last);

protected:
    /// Runs `change`, which replaces every row, between the two announcements.
    void resetRows(const std::function<void()>& change);
    /// Runs `change`, which inserts `count` rows before row `first`.
    void insertRows(int first, int count, const std::function<void()>& change);
    /// Runs `change`, which removes rows first..first+count-1.
    void removeRows(int first, int count, const std::function<void()>& change);
};

} // namespace controls
