#include "controls/FileList.h"

#include "platform/Files.h"

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
        if (const auto entries = m_files.list(m_path)) {
            names.reserve(entries->size());
            for (const platform::DirEntry& e : *entries)
                if (!e.directory && matchesPattern(e.name, m_pattern) &&
                    platform::FileExists(m_files, folder + e.name))
                    names.append(e.name);
        }
    }
    if (names == m_names)
        return;
    m_names = std::move(names);
    emit changed();
}

bool matchesPattern(const QString& fileName, const QString& pattern) {
    // Iterative wildcard match with one backtrack point: linear in practice, no recursion.
    const qsizetype n = fileName.size();
    const qsizetype m = pattern.size();
    qsizetype i = 0;
    qsizetype j = 0;
    qsizetype star = -1;
    qsizetype mark = 0;
    auto same = [](QChar a, QChar b) { return a == b || a.toCaseFolded() == b.toCaseFolded(); };
    while (i < n) {
        if (j < m && pattern.at(j) == u'*') {
            star = j++;
            mark = i;
        } else if (j < m && (pattern.at(j) == u'?' || same(pattern.at(j), fileName.at(i)))) {
            ++i;
            ++j;
        } else if (star >= 0) {
            j = star + 1;
            i = ++mark;
        } else {
            return false;
        }
    }
    while (j < m && pattern.at(j) == u'*')
        ++j;
    return j == m;
}

} // namespace controls
