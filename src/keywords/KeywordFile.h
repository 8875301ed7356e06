#pragma once

#include <QString>
#include <QStringList>

namespace app {
class FrmMain;
}

namespace keywords {

// The keyword list file: loading at start-up, choosing another file, writing it back.
class KeywordFile {
public:
    explicit KeywordFile(app::FrmMain& f);
    /// Loads the keyword list at start-up.
    void Charge_Mot_Cle();
    /// The user chooses another keyword list file; it is loaded at once.
    void Command21_Click();
    /// Writes the whole list in the plain form; returns the file error number (0 on success).
    int SaveKeywordList(const QString& path);
    /// Writes the whole list in the quoted form; returns the file error number (0 on success).
    int SaveKeywordListQuoted(const QString& path);

    /// Replaces the keyword list by these keywords, the last one first (the file order reversed).
    void setKeywordsReversed(const QStringList& items);

private:
    int save(const QString& path, bool quoted);
    app::FrmMain& f;
};

/// Reads an item as a typed value: an unquoted item that reads as a plain number becomes that
/// number's decimal text ("007" gives "7").
QString typedItem(const QString& item, bool quoted);

} // namespace keywords
