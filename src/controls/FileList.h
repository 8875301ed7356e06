#pragma once

#include "controls/Control.h"

#include "platform/Files.h"

#include <QStringList>

namespace controls {

// A file list: the names of the ordinary files of one folder that match a pattern, in the
// platform's listing order (names sorted). Folders, hidden and system files are not listed.
class FileList : public Control {
    Q_OBJECT
public:
    FileList(Form* form, QString name, const platform::Files& files, QString pattern);
    Kind kind() const override { return Kind::FileList; }

    const QString& path() const { return m_path; }
    /// Points the list at a folder and reads it again.
    void setPath(const QString& path);
    const QString& pattern() const { return m_pattern; }
    void setPattern(const QString& pattern);
    /// Reads the folder again; a folder that cannot be read lists nothing.
    void refresh();

    int count() const { return int(m_names.size()); }
    const QStringList& names() const { return m_names; }
    /// The listed files as the folder gave them (raw names and identities), one a name.
    const QList<platform::DirEntry>& entries() const { return m_entries; }

private:
    const platform::Files& m_files;
    QString m_path;
    QString m_pattern;
    QStringList m_names;
    QList<platform::DirEntry> m_entries;
};

} // namespace controls
