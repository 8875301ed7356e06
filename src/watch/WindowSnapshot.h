#pragma once

#include "controls/RowSource.h"
#include "platform/Browser.h"

#include <QString>
#include <vector>

namespace watch {

// The open browser windows as the keyword scan listed them at its last tick: page name,
// address and size of each, and the handle of the window the row was read from. Both scans
// work on it; it is shown as rows of the page name, the address, the width and the height.
class WindowSnapshot : public controls::RowSource {
    Q_OBJECT
public:
    struct Row {
        platform::WindowHandle handle = 0;
        QString pageName;
        QString url;
        qint32 width = 0;
        qint32 height = 0;
        /// Width and height were read from this row's own window (not carried over).
        bool sizeRead = false;
    };

    int size() const { return int(m_rows.size()); }
    const Row& at(int i) const { return m_rows.at(std::size_t(i)); }
    /// Replaces every row.
    void assign(std::vector<Row> rows);

    int rowCount() const override { return size(); }
    int columnCount() const override { return 4; }
    QString cell(int row, int column) const override;

private:
    std::vector<Row> m_rows;
};

} // namespace watch
