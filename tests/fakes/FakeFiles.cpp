#include "fakes/FakeFiles.h"

namespace fakes {

using namespace platform;

FakeFiles::FakeFiles() : m_now(QDate(2026, 1, 1), QTime(12, 0, 0)) {
    m_nodes.insert(QStringLiteral("/"), folderNode());
    makeFolder(programFolder());
}

QString FakeFiles::normalize(const QString& path) {
    QString p = path;
    while (p.size() > 1 && p.endsWith(u'/'))
        p.chop(1);
    return p;
}

QString FakeFiles::parentOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

const FakeFiles::Node* FakeFiles::resolve(const QString& path, int depth) const {
    auto it = m_nodes.constFind(normalize(path));
    if (it == m_nodes.constEnd())
        return nullptr;
    if (!it->linkTarget.isEmpty()) {
        if (depth > 16)
            return nullptr;
        QString target = it->linkTarget;
        if (!target.startsWith(u'/'))
            target = parentOf(normalize(path)) + u'/' + target;
        return resolve(target, depth + 1);
    }
    return &it.value();
}

bool FakeFiles::writable(const QString& path) const {
    for (const QString& folder : m_protected)
        if (path.startsWith(folder + u'/'))
            return false;
    return true;
}

void FakeFiles::ensureParents(const QString& path) {
    QString parent = parentOf(path);
    while (!m_nodes.contains(parent)) {
        m_nodes.insert(parent, folderNode());
        parent = parentOf(parent);
    }
}

FileAttributes FakeFiles::attributes(const QString& path) const {
    FileAttributes a;
    const QString p = normalize(path);
    auto own = m_nodes.constFind(p);
    if (own == m_nodes.constEnd())
        return a;
    a.symlink = !own->linkTarget.isEmpty();
    const Node* n = resolve(p);
    if (!n)
        return a; // a dangling link: nothing there
    a.exists = true;
    a.directory = n->directory;
    a.readOnly = n->readOnly;
    a.hidden = own->hidden || p.mid(p.lastIndexOf(u'/') + 1).startsWith(u'.');
    return a;
}

std::optional<QByteArray> FakeFiles::readAll(const QString& path, int* error) const {
    const Node* n = resolve(path);
    int e = FileError::None;
    if (!n)
        e = FileError::FileNotFound;
    else if (n->directory)
        e = FileError::PathFileAccess;
    else if (n->unreadable)
        e = FileError::PermissionDenied;
    if (error)
        *error = e;
    if (e != FileError::None)
        return std::nullopt;
    return n->bytes;
}

int FakeFiles::writeAll(const QString& path, const QByteArray& bytes) {
    const QString p = normalize(path);
    const Node* parent = resolve(parentOf(p));
    if (!parent || !parent->directory)
        return FileError::PathNotFound;
    if (!writable(p))
        return FileError::PermissionDenied;
    auto it = m_nodes.find(p);
    if (it != m_nodes.end() && (it->directory || it->readOnly || it->unreadable))
        return it->directory ? FileError::PathFileAccess : FileError::PermissionDenied;
    Node n;
    n.bytes = bytes;
    n.modified = m_now;
    m_nodes.insert(p, n);
    return FileError::None;
}

int FakeFiles::append(const QString& path, const QByteArray& bytes) {
    const QString p = normalize(path);
    auto it = m_nodes.find(p);
    if (it == m_nodes.end())
        return writeAll(p, bytes);
    if (!writable(p))
        return FileError::PermissionDenied;
    if (it->directory)
        return FileError::PathFileAccess;
    if (it->readOnly || it->unreadable)
        return FileError::PermissionDenied;
    it->bytes.append(bytes);
    it->modified = m_now;
    return FileError::None;
}

int FakeFiles::remove(const QString& path) {
    const QString p = normalize(path);
    auto it = m_nodes.find(p);
    if (it == m_nodes.end())
        return FileError::FileNotFound;
    if (it->directory)
        return FileError::PathFileAccess;
    if (it->readOnly)
        return FileError::PathFileAccess;
    if (!writable(p))
        return FileError::PermissionDenied;
    m_nodes.erase(it);
    return FileError::None;
}

int FakeFiles::setNormal(const QString& path) {
    auto it = m_nodes.find(normalize(path));
    if (it == m_nodes.end())
        return FileError::FileNotFound;
    it->readOnly = false;
    return FileError::None;
}

std::optional<QDateTime> FakeFiles::modified(const QString& path) const {
    const Node* n = resolve(path);
    if (!n)
        return std::nullopt;
    return n->modified;
}

std::optional<qint64> FakeFiles::size(const QString& path) const {
    const Node* n = resolve(path);
    if (!n || n->directory)
        return std::nullopt;
    return n->bytes.size();
}

std::optional<QList<DirEntry>> FakeFiles::list(const QString& folder, int* error) const {
    const QString p = normalize(folder);
    const Node* n = resolve(p);
    if (!n || !n->directory || n->unreadable) {
        if (error)
            *error = !n ? FileError::PathNotFound : FileError::PermissionDenied;
        return std::nullopt;
    }
    if (error)
        *error = FileError::None;
    // A link to a folder is listed under its own path: list the folder it points to, and
    // name the entries as children of the path asked for.
    QString real = p;
    for (int depth = 0; depth < 16; ++depth) {
        auto own = m_nodes.constFind(real);
        if (own == m_nodes.constEnd() || own->linkTarget.isEmpty())
            break;
        QString target = own->linkTarget;
        real = normalize(target.startsWith(u'/') ? target : parentOf(real) + u'/' + target);
    }
    const QString prefix = real == u'/' ? QStringLiteral("/") : real + u'/';
    QList<DirEntry> entries;
    for (auto it = m_nodes.lowerBound(prefix); it != m_nodes.constEnd(); ++it) {
        if (!it.key().startsWith(prefix))
            break;
        const QString rest = it.key().mid(prefix.size());
        if (rest.isEmpty() || rest.contains(u'/'))
            continue;
        DirEntry e;
        e.name = rest;
        e.symlink = !it->linkTarget.isEmpty();
        const Node* target = resolve(it.key());
        e.directory = target && target->directory;
        entries.append(e);
    }
    return entries;
}

int FakeFiles::makeFolder(const QString& path) {
    const QString p = normalize(path);
    if (m_nodes.contains(p))
        return m_nodes.value(p).directory ? FileError::None : FileError::PathFileAccess;
    ensureParents(p);
    m_nodes.insert(p, folderNode());
    return FileError::None;
}

void FakeFiles::setFile(const QString& path, const QByteArray& bytes) {
    const QString p = normalize(path);
    ensureParents(p);
    Node n;
    n.bytes = bytes;
    n.modified = m_now;
    m_nodes.insert(p, n);
}

void FakeFiles::setReadOnly(const QString& path, bool readOnly) {
    auto it = m_nodes.find(normalize(path));
    if (it != m_nodes.end())
        it->readOnly = readOnly;
}

void FakeFiles::setHidden(const QString& path, bool hidden) {
    auto it = m_nodes.find(normalize(path));
    if (it != m_nodes.end())
        it->hidden = hidden;
}

void FakeFiles::setUnreadable(const QString& path, bool unreadable) {
    auto it = m_nodes.find(normalize(path));
    if (it != m_nodes.end())
        it->unreadable = unreadable;
}

void FakeFiles::setSymlink(const QString& path, const QString& target) {
    const QString p = normalize(path);
    ensureParents(p);
    Node n;
    n.linkTarget = target;
    n.modified = m_now;
    m_nodes.insert(p, n);
}

void FakeFiles::setModified(const QString& path, const QDateTime& time) {
    auto it = m_nodes.find(normalize(path));
    if (it != m_nodes.end())
        it->modified = time;
}

void FakeFiles::setWriteProtected(const QString& folder, bool on) {
    const QString p = normalize(folder);
    m_protected.removeAll(p);
    if (on)
        m_protected.append(p);
}

} // namespace fakes
