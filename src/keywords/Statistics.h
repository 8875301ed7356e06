#pragma once

#include <QHash>
#include <QString>
#include <cstdint>

namespace app {
class FrmMain;
}

namespace keywords {

// The per-keyword closure counts: the rows of `ListView2` and the file `Statistiques.dat`.
class Statistics {
public:
    explicit Statistics(app::FrmMain& f);
    /// Seeds the file from the keyword list when it is missing, then loads it.
    void LoadStatistics();
    /// Appends a zero record for a keyword to the file and a row to the view.
    void AppendStatRecord(const QString& keyword);
    /// Rewrites the file from the view; returns the file error number (0 on success).
    int SaveStatistics();
    /// Adds 1 to the first row holding exactly this keyword; false when none does.
    bool increment(const QString& keyword);

    static QString record(const QString& keyword, const QString& count);

private:
    QString path() const;
    app::FrmMain& f;
    QHash<QString, int> m_firstRow;
    std::uint64_t m_indexedLayout = ~std::uint64_t(0);
};

} // namespace keywords
