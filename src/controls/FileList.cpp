#include "controls/FileList.h"

#include "platform/Files.h"
#include "platform/NamePattern.h"

namespace controls {

FileList::FileList(Form* form, QString name, const platform::Files& files, QString pattern)
    : Control(form, std::move(name)), m_files(files), m_pattern(std::move(pattern)) {}

void FileList::setPath(const QString& path) {
    m_path = path;
    refresh();
}

void FileList::setPattern(const QString& pattern) {
    m_pattern = pattern;
    refresh();
}

void FileList::refresh() {
    QStringList names;
    QList<platform::DirEntry> listed;
    if (!m_path.isEmpty()) {
        const platform::NamePattern pattern(m_pattern);
        if (const auto entries = m_files.list(m_path)) {
            names.reserve(entries->size());
            // Ordinary files only: no folder, hidden or system entry (a link counts as what it
            // points at).
            for (const platform::DirEntry& e : *entries)
                if (!e.directory && !e.hidden && !e.system && pattern.matches(e.name)) {
                    names.append(e.name);
                    listed.append(e);
                }
        }
    }
    m_entries = std::move(listed);
    if (names == m_names)
        return;
    m_names = std::move(names);
    emit changed();
}

} // namespace controls
