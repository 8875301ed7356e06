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
    if (!m_path.isEmpty()) {
        const QString folder = m_path.endsWith(u'/') ? m_path : m_path + u'/';
        const platform::NamePattern pattern(m_pattern);
        if (const auto entries = m_files.list(m_path)) {
            names.reserve(entries->size());
            for (const platform::DirEntry& e : *entries)
                if (!e.directory && pattern.matches(e.name) &&
                    platform::FileExists(m_files, folder + e.name))
                    names.append(e.name);
        }
    }
    if (names == m_names)
        return;
    m_names = std::move(names);
    emit changed();
}

} // namespace controls
