#include "watch/ClosureTotals.h"

namespace watch {

void ClosureTotals::add(Cause cause, qint64 n) {
    m_counts[cause] += n;
    emit rowsChanged(0, 0);
}

void ClosureTotals::clear() {
    for (qint64& c : m_counts)
        c = 0;
    emit rowsChanged(0, 0);
}

QString ClosureTotals::cell(int row, int column) const {
    if (row != 0 || column < 0 || column > 3)
        return {};
    return QString::number(m_counts[column]);
}

} // namespace watch
