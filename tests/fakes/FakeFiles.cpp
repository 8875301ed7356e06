#include "fakes/FakeFiles.h"

namespace fakes {

using namespace platform;

namespace {

// The length of the UTF-8 sequence at `i`, or 0 when the bytes there are not one.
int utf8SequenceAt(const QByteArray& b, qsizetype i) {
    const auto at = [&](qsizetype k) { return k < b.size() ? uchar(b[k]) : 0; };
    const uchar c = at(i);
    const auto cont = [&](qsizetype k) { return (at(k) & 0xC0) == 0x80; };
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return cont(i + 1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const uchar c1 = at(i + 1);
        if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0)) // overlong, surrogate
            return 0;
        return cont(i + 1) && cont(i + 2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const uchar c1 = at(i + 1);
        if ((c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 >= 0x90))
            return 0;
        return cont(i + 1) && cont(i + 2) && cont(i + 3) ? 4 : 0;
    }
    return 0;
}

} // namespace

QString FakeFiles::pathFromBytes(const QByteArray& raw) {
    QString path;
    for (qsizetype i = 0; i < raw.size();) {
        const int n = utf8SequenceAt(raw, i);
        if (n == 0) {
            path += QChar(char16_t(0xDC00 + uchar(raw[i])));
            ++i;
        } else {
            path += QString::fromUtf8(raw.constData() + i, n);
            i += n;
        }
    }
    return path;
}

QByteArray FakeFiles::bytesOfPath(const QString& path) {
    QByteArray raw;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path.at(i).unicode();
        const bool high =
            c >= 0xD800 && c <= 0xDBFF && i + 1 < path.size() && path.at(i + 1).isLowSurrogate();
        if (c >= 0xDC80 && c <= 0xDCFF && !(i > 0 && path.at(i - 1).isHighSurrogate()))
            raw += char(c - 0xDC00);
        else if (high) {
            raw += path.mid(i, 2).toUtf8();
            ++i;
        } else
            raw += QString(QChar(c)).toUtf8();
    }
    return raw;
}

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
    else
        e = m_readErrors.value(normalize(path), FileError::None);
    if (error)
        *error = e;
    if (e != FileError::None)
        return std::nullopt;
    return n->bytes;
}

int FakeFiles::writeAll(const QString& path, const QByteArray& bytes) {
    return save(path, bytes, false);
}

int FakeFiles::writePrivate(const QString& path, const QByteArray& bytes) {
    return save(path, bytes, true);
}

int FakeFiles::save(const QString& path, const QByteArray& bytes, bool ownerOnly) {
    if (m_diskFull)
        return FileError::DiskFull;
    const QString p = normalize(path);
    const Node* parent = resolve(parentOf(p));
    if (!parent || !parent->directory)
        return FileError::PathNotFound;
    if (!writable(p))
        return FileError::PermissionDenied;
    auto it = m_nodes.find(p);
    if (it != m_nodes.end() && (it->directory || it->readOnly || it->unreadable))
        return it->directory ? FileError::PathFileAccess : FileError::PermissionDenied;
    // Saved as a new file renamed over the old one: a new inode. A file made is its owner's
    // alone; one replaced keeps its permissions unless it is made private.
    Node n = newNode();
    n.bytes = bytes;
    n.ownerOnly = ownerOnly || it == m_nodes.end() || it->ownerOnly;
    m_nodes.insert(p, n);
    return FileError::None;
}

bool FakeFiles::ownerOnly(const QString& path) const {
    const auto it = m_nodes.constFind(normalize(path));
    return it != m_nodes.constEnd() && it->ownerOnly;
}

int FakeFiles::append(const QString& path, const QByteArray& bytes) {
    if (m_diskFull)
        return FileError::DiskFull;
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
        e.rawName = bytesOfPath(rest);
        e.name = shownName(e.rawName);
        e.id = {1, it->inode};
        e.symlink = !it->linkTarget.isEmpty();
        e.hidden = it->hidden || rest.startsWith(u'.');
        const Node* target = resolve(it.key());
        e.directory = target && target->directory;
        e.system = !target; // a dangling link
        entries.append(e);
    }
    std::stable_sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
        return a.name != b.name ? a.name < b.name : a.rawName < b.rawName;
    });
    return entries;
}

std::optional<QList<DirEntry>> FakeFiles::listRaw(const QByteArray& folder, int* error) const {
    return list(folder.isEmpty() ? QStringLiteral("/") : pathFromBytes(folder), error);
}

int FakeFiles::removeListed(const QByteArray& path, FileId id, bool resetReadOnly) {
    const QString p = normalize(pathFromBytes(path));
    if (!p.startsWith(u'/'))
        return FileError::BadFileName;
    // Every folder on the way must be a folder itself, not a link to one.
    const QStringList parts = p.split(u'/', Qt::SkipEmptyParts);
    QString folder;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        folder += u'/' + parts[i];
        auto it = m_nodes.constFind(folder);
        if (it == m_nodes.constEnd() || !it->linkTarget.isEmpty() || !it->directory)
            return FileError::PathNotFound;
    }
    auto it = m_nodes.find(p);
    if (it == m_nodes.end() || it->inode != id.inode || id.device != 1)
        return FileError::FileNotFound;
    if (it->directory)
        return FileError::PathFileAccess;
    if (it->readOnly && it->linkTarget.isEmpty()) {
        if (!resetReadOnly)
            return FileError::PathFileAccess;
        it->readOnly = false;
    }
    if (!writable(p))
        return FileError::PermissionDenied;
    m_nodes.erase(it);
    return FileError::None;
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
    Node n = newNode();
    n.bytes = bytes;
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
    Node n = newNode();
    n.linkTarget = target;
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

void FakeFiles::removeTree(const QString& folder) {
    const QString p = normalize(folder);
    const QString prefix = p + u'/';
    for (auto it = m_nodes.begin(); it != m_nodes.end();)
        it = it.key() == p || it.key().startsWith(prefix) ? m_nodes.erase(it) : std::next(it);
}

void FakeFiles::failReads(const QString& path, int error) {
    if (error == FileError::None)
        m_readErrors.remove(normalize(path));
    else
        m_readErrors.insert(normalize(path), error);
}

} // namespace fakes
