#include "keywords/Statistics.h"

#include "app/FrmMain.h"
#include "keywords/TextItems.h"

namespace keywords {

Statistics::Statistics(app::FrmMain& form) : f(form) {}

QString Statistics::path() const {
    return f.programFile(QStringLiteral("Statistiques.dat"));
}

QString Statistics::record(const QString& keyword, const QString& count) {
    return u'"' + keyword + QStringLiteral("\",\"") + count + QStringLiteral("\"\r\n");
}

void Statistics::LoadStatistics() {
    auto& files = f.platform().files;
    const QString file = path();
    if (!platform::FileExists(files, file)) {
        QString text;
        for (const auto& row : f.keywordListView.rows())
            text += record(row.cells.value(0), QStringLiteral("0"));
        if (files.writeAll(file, encodeText(text)) != platform::FileError::None)
            return;
    }
    const auto bytes = files.readAll(file);
    if (!bytes)
        return;
    ItemReader reader(decodeText(*bytes));
    std::vector<controls::ListView::Row> rows;
    while (!reader.atEnd()) {
        const QString keyword = reader.next();
        if (reader.atEnd())
            break; // a record without its count gives no row
        const QString count = reader.next();
        rows.push_back({QStringList{QString::number(leadingInteger(count)), keyword}, false});
    }
    std::vector<controls::ListView::Row> all = f.statisticsView.rows();
    all.insert(all.end(), std::make_move_iterator(rows.begin()),
               std::make_move_iterator(rows.end()));
    f.statisticsView.setRows(std::move(all));
}

void Statistics::AppendStatRecord(const QString& keyword) {
    // The view keeps the counts raised since the last save: the new record is added to both
    // the file and the view instead of reloading the view from the file.
    f.platform().files.append(path(), encodeText(record(keyword, QStringLiteral("0"))));
    f.statisticsView.appendRow({QStringLiteral("0"), keyword});
}

int Statistics::SaveStatistics() {
    QString text;
    for (const auto& row : f.statisticsView.rows())
        text += record(row.cells.value(1), row.cells.value(0));
    return f.platform().files.writeAll(path(), encodeText(text));
}

bool Statistics::increment(const QString& keyword) {
    const controls::ListView& view = f.statisticsView;
    if (m_indexedLayout != view.layoutRevision()) {
        m_firstRow.clear();
        for (int r = view.rowCount() - 1; r >= 0; --r)
            m_firstRow.insert(view.subItem(r, 1), r);
        m_indexedLayout = view.layoutRevision();
    }
    const auto it = m_firstRow.constFind(keyword);
    if (it == m_firstRow.constEnd())
        return false;
    const int r = it.value();
    f.statisticsView.setText(r, QString::number(leadingInteger(view.text(r)) + 1));
    return true;
}

} // namespace keywords
