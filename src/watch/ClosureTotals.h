#pragma once

#include "controls/RowSource.h"

namespace watch {

// The windows closed during this run, by cause. Never stored; shown as one row.
class ClosureTotals : public controls::RowSource {
    Q_OBJECT
public:
    enum Cause {
        ByKeyword,   // keyword scan
        ByPopupRule, // a new window opened without a click
        BySizeScan,  // size scan
        ByPopupSize, // a new window asked for by a small window
    };

    qint64 byKeyword() const { return m_counts[ByKeyword]; }
    qint64 byPopupRule() const { return m_counts[ByPopupRule]; }
    qint64 bySizeScan() const { return m_counts[BySizeScan]; }
    qint64 byPopupSize() const { return m_counts[ByPopupSize]; }
    qint64 count(Cause cause) const { return m_counts[cause]; }
    void add(Cause cause, qint64 n = 1);
    /// Sets every count to 0.
    void clear();

    int rowCount() const override { return 1; }
    int columnCount() const override { return 4; }
    QString cell(int row, int column) const override;

private:
    qint64 m_counts[4] = {0, 0, 0, 0};
};

} // namespace watch
