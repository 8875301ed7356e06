#include "controls/RowSource.h"

namespace controls {

void RowSource::resetRows(const std::function<void()>& change) {
    emit aboutToReset();
    change();
    emit reset();
}

void RowSource::insertRows(int first, int count, const std::function<void()>& change) {
    if (count <= 0)
        return change();
    emit aboutToInsert(first, first + count - 1);
    change();
    emit inserted(first, first + count - 1);
}

void RowSource::removeRows(int first, int count, const std::function<void()>& change) {
    if (count <= 0)
        return change();
    emit aboutToRemove(first, first + count - 1);
    change();
    emit removed(first, first + count - 1);
}

} // namespace controls
