#pragma once

#include "keywords/KeywordList.h"
#include "keywords/ListFiles.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/SettingsStore.h"

#include <QString>
#include <QStringList>

namespace controls {
class Label;
}

namespace keywords {

// The keyword list's file: loaded at start-up or when the user chooses another file, written
// back by the save, hide and quit commands. Its path is stored in the settings.
class KeywordFile {
public:
    KeywordFile(platform::Files& files, platform::SettingsStore& settings,
                platform::Dialogs& dialogs, KeywordList& keywords, controls::Label& pathLabel);

    /// Loads the list at start-up: the chosen file, or `ListeUrl.dat` in the program folder.
    /// A file that exists but cannot be read is reported, and only an explicit save writes
    /// over it.
    void loadAtStartup();
    /// The user chooses another keyword file; it is loaded at once (a large one is read on a
    /// thread of its own and replaces the list as soon as it is read).
    void choose();
    /// The file the list comes from (empty when none is set).
    const QString& path() const { return m_path; }
    /// Writes the list to its own file in the plain form (`NouveauHost.dat` in the program
    /// folder when it has none). False when it was not saved, after a message saying why.
    bool saveToOwnFile(SaveMode mode);
    /// Writes the whole list in the plain form; false (after a message) when not saved.
    bool save(const QString& path, SaveMode mode) { return write(path, false, mode); }
    /// Writes the whole list in the quoted form; false (after a message) when not saved.
    bool saveQuoted(const QString& path, SaveMode mode) { return write(path, true, mode); }

private:
    /// Replaces the list by these words, the last one first (the file order reversed).
    void assignReversed(QStringList items);
    bool write(const QString& path, bool quoted, SaveMode mode);

    platform::Files& m_files;
    platform::SettingsStore& m_settings;
    platform::Dialogs& m_dialogs;
    KeywordList& m_keywords;
    controls::Label& m_pathLabel;
    ListFiles m_listFiles;
    QString m_path;
};

/// Reads an item as a typed value: an unquoted item that reads as a plain number becomes that
/// number's decimal text ("007" gives "7").
QString typedItem(const QString& item, bool quoted);

} // namespace keywords
