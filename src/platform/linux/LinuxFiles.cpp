#include "platform/linux/LinuxFiles.h"

#include "platform/linux/AtomicSave.h"
#include "platform/linux/LinuxPaths.h"

#include <QFileInfo>
#include <algorithm>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::linuxp {

namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

bool statOf(const QString& path, struct stat* st, bool follow) {
    const QByteArray p = native(path);
    return (follow ? ::stat(p.constData(), st) : ::lstat(p.constData(), st)) == 0;
}

QString parentOf(const QString& path) {
    return QFileInfo(path).absolutePath();
}

bool isDirectory(const QString& path) {
    struct stat st;
    return statOf(path, &st, true) && S_ISDIR(st.st_mode);
}

bool ownerCannotWrite(const struct stat& st) {
    return (st.st_mode & S_IWUSR) == 0;
}

} // namespace

int LinuxFiles::errorFromErrno(int e) {
    switch (e) {
    case 0:
        return FileError::None;
    case ENOENT:
        return FileError::FileNotFound;
    case ENOTDIR:
        return FileError::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return FileError::PermissionDenied;
    case EISDIR:
    case EBUSY:
    case EEXIST:
    case ENOTEMPTY:
        return FileError::PathFileAccess;
    case ENAMETOOLONG:
    case EINVAL:
        return FileError::BadFileName;
    case ENOSPC:
    case EDQUOT:
        return FileError::DiskFull;
    default:
        return FileError::DeviceIO;
    }
}

LinuxFiles::LinuxFiles(QString programFolder, QString shippedFolder)
    : m_programFolder(std::move(programFolder)), m_shippedFolder(std::move(shippedFolder)) {}

QString LinuxFiles::programFolder() const {
    return m_programFolder.isEmpty() ? tavrelDataFolder() : m_programFolder;
}

QString LinuxFiles::shippedFolder() const {
    return m_shippedFolder.isEmpty() ? shippedDataFolder() : m_shippedFolder;
}

FileAttributes LinuxFiles::attributes(const QString& path) const {
    FileAttributes a;
    struct stat own;
    if (path.isEmpty() || !statOf(path, &own, false))
        return a;
    a.symlink = S_ISLNK(own.st_mode);
    struct stat st = own;
    if (a.symlink && !statOf(path, &st, true))
        return a; // a dangling link: nothing there
    a.exists = true;
    a.directory = S_ISDIR(st.st_mode);
    a.system = !S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode);
    a.readOnly = ownerCannotWrite(st);
    a.hidden = QFileInfo(path).fileName().startsWith(u'.');
    return a;
}

std::optional<QByteArray> LinuxFiles::readAll(const QString& path, int* error) const {
    auto fail = [&](int e) -> std::optional<QByteArray> {
        if (error)
            *error = e;
        return std::nullopt;
    };
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return fail(errno == ENOENT && !isDirectory(parentOf(path)) ? FileError::PathNotFound
                                                                    : errorFromErrno(errno));
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fail(FileError::PathFileAccess);
    }
    QByteArray bytes;
    if (S_ISREG(st.st_mode))
        bytes.reserve(qsizetype(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int e = errno;
            ::close(fd);
            return fail(errorFromErrno(e));
        }
        if (n == 0)
            break;
        bytes.append(buffer, n);
    }
    ::close(fd);
    if (error)
        *error = FileError::None;
    return bytes;
}

int LinuxFiles::writeAll(const QString& path, const QByteArray& bytes) {
    return save(path, bytes, false);
}

int LinuxFiles::writePrivate(const QString& path, const QByteArray& bytes) {
    return save(path, bytes, true);
}

int LinuxFiles::save(const QString& path, const QByteArray& bytes, bool ownerOnly) {
    if (!isDirectory(parentOf(path)))
        return FileError::PathNotFound;
    QString target = path;
    // Write through a link to the file it names, and keep the link.
    if (QFileInfo(path).isSymLink()) {
        const QString linked = QFileInfo(path).canonicalFilePath();
        if (!linked.isEmpty())
            target = linked;
    }
    return saveFile(native(target), bytes, ownerOnly);
}

int LinuxFiles::append(const QString& path, const QByteArray& bytes) {
    struct stat st;
    if (statOf(path, &st, true)) {
        if (S_ISDIR(st.st_mode))
            return FileError::PathFileAccess;
        if (ownerCannotWrite(st))
            return FileError::PermissionDenied;
    } else if (!isDirectory(parentOf(path))) {
        return FileError::PathNotFound;
    }
    // A file made here is its owner's alone.
    const int fd =
        ::open(native(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return errorFromErrno(errno);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int e = n < 0 ? errno : EIO;
            ::close(fd);
            return errorFromErrno(e);
        }
        done += n;
    }
    if (::fdatasync(fd) != 0) {
        const int e = errno;
        ::close(fd);
        return errorFromErrno(e);
    }
    return ::close(fd) == 0 ? FileError::None : errorFromErrno(errno);
}

int LinuxFiles::remove(const QString& path) {
    struct stat own;
    if (!statOf(path, &own, false))
        return isDirectory(parentOf(path)) ? FileError::FileNotFound : FileError::PathNotFound;
    if (S_ISDIR(own.st_mode))
        return FileError::PathFileAccess;
    // Deleting a read-only file fails, whoever runs the program (root could delete it): the
    // caller resets the attributes first when it means to.
    if (!S_ISLNK(own.st_mode) && ownerCannotWrite(own))
        return FileError::PathFileAccess;
    if (::unlink(native(path).constData()) != 0)
        return errorFromErrno(errno);
    return FileError::None;
}

int LinuxFiles::setNormal(const QString& path) {
    struct stat st;
    if (!statOf(path, &st, true))
        return FileError::FileNotFound;
    if (ownerCannotWrite(st) &&
        ::chmod(native(path).constData(), (st.st_mode & 07777) | S_IWUSR) != 0)
        return errorFromErrno(errno);
    return FileError::None;
}

std::optional<QDateTime> LinuxFiles::modified(const QString& path) const {
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    return info.lastModified();
}

std::optional<qint64> LinuxFiles::size(const QString& path) const {
    struct stat st;
    if (!statOf(path, &st, true) || S_ISDIR(st.st_mode))
        return std::nullopt;
    return qint64(st.st_size);
}

std::optional<QList<DirEntry>> LinuxFiles::list(const QString& folder, int* error) const {
    return listRaw(native(folder), error);
}

namespace {

// What an entry is, examined by its folder and name, following no link but to tell where a
// link leads; false when it is gone.
bool examine(int folder, const char* name, DirEntry& e) {
    struct stat st;
    if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        e.system = true; // gone meanwhile: nothing to offer
        return false;
    }
    e.id = {quint64(st.st_dev), quint64(st.st_ino)};
    e.symlink = S_ISLNK(st.st_mode);
    if (e.symlink && ::fstatat(folder, name, &st, 0) != 0) {
        e.system = true; // a dangling link
    } else {
        e.directory = S_ISDIR(st.st_mode);
        e.system = !e.directory && !S_ISREG(st.st_mode);
    }
    return true;
}

// The entries of a folder, each examined or (`kindsOnly`) told by the listing's type alone.
std::optional<QList<DirEntry>> listFolder(const QByteArray& folder, bool kindsOnly, int* error) {
    const int fd =
        ::open(folder.isEmpty() ? "/" : folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir) {
        const int e = errno;
        if (fd >= 0)
            ::close(fd);
        if (error)
            *error = e == ENOENT || e == ENOTDIR ? FileError::PathNotFound
                                                 : LinuxFiles::errorFromErrno(e);
        return std::nullopt;
    }
    QList<DirEntry> entries;
    bool ascii = true;
    while (const dirent* d = ::readdir(dir)) {
        const char* n = d->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        DirEntry e;
        e.rawName = QByteArray(n);
        const bool plain = std::all_of(e.rawName.cbegin(), e.rawName.cend(),
                                       [](char c) { return uchar(c) < 0x80; });
        ascii = ascii && plain;
        e.name = plain ? QString::fromLatin1(e.rawName) : shownName(e.rawName);
        e.hidden = n[0] == '.';
        if (kindsOnly && d->d_type != DT_UNKNOWN) {
            e.symlink = d->d_type == DT_LNK;
            e.directory = d->d_type == DT_DIR;
            e.system = !e.directory && !e.symlink && d->d_type != DT_REG;
        } else {
            examine(fd, n, e);
        }
        entries.append(std::move(e));
    }
    ::closedir(dir);
    // ASCII names sort as their bytes do: the text comparison is needed only beyond ASCII.
    if (ascii)
        std::sort(entries.begin(), entries.end(),
                  [](const DirEntry& a, const DirEntry& b) { return a.rawName < b.rawName; });
    else
        std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
            return a.name != b.name ? a.name < b.name : a.rawName < b.rawName;
        });
    if (error)
        *error = FileError::None;
    return entries;
}

} // namespace

std::optional<QList<DirEntry>> LinuxFiles::listRaw(const QByteArray& folder, int* error) const {
    return listFolder(folder, false, error);
}

std::optional<QList<DirEntry>> LinuxFiles::listKinds(const QByteArray& folder, int* error) const {
    return listFolder(folder, true, error);
}

std::optional<DirEntry> LinuxFiles::entry(const QByteArray& path) const {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0 || slash + 1 == path.size())
        return std::nullopt;
    const QByteArray folder = slash == 0 ? QByteArray("/") : path.left(slash);
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    DirEntry e;
    e.rawName = path.mid(slash + 1);
    e.name = shownName(e.rawName);
    e.hidden = e.rawName.startsWith('.');
    const bool there = examine(fd, e.rawName.constData(), e);
    ::close(fd);
    if (!there)
        return std::nullopt;
    return e;
}

int LinuxFiles::removeListed(const QByteArray& path, FileId id, bool resetReadOnly) {
    if (!path.startsWith('/'))
        return FileError::BadFileName;
    QList<QByteArray> parts = path.split('/');
    parts.removeAll(QByteArray());
    if (parts.isEmpty())
        return FileError::PathFileAccess;
    // From the root down, every folder is opened as itself: a link on the way fails.
    int folder = ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return errorFromErrno(errno);
    auto done = [&](int result) {
        ::close(folder);
        return result;
    };
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        if (parts[i] == "." || parts[i] == "..")
            return done(FileError::PathNotFound);
        const int next =
            ::openat(folder, parts[i].constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) {
            const int e = errno;
            return done(e == ENOENT || e == ENOTDIR || e == ELOOP ? FileError::PathNotFound
                                                                  : errorFromErrno(e));
        }
        ::close(folder);
        folder = next;
    }
    const QByteArray& name = parts.last();
    struct stat st;
    if (name == "." || name == ".." ||
        ::fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return done(FileError::FileNotFound);
    // Only the very file that was listed, not another one that took its name.
    if (FileId{quint64(st.st_dev), quint64(st.st_ino)} != id)
        return done(FileError::FileNotFound);
    if (S_ISDIR(st.st_mode))
        return done(FileError::PathFileAccess);
    if (!S_ISLNK(st.st_mode) && ownerCannotWrite(st)) {
        // Deleting a read-only file fails, whoever runs the program, unless its attributes
        // are reset first (an ordinary file only: opening anything else may act on a device).
        if (!resetReadOnly || !S_ISREG(st.st_mode))
            return done(FileError::PathFileAccess);
        const int fd =
            ::openat(folder, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        struct stat opened;
        const bool same = fd >= 0 && ::fstat(fd, &opened) == 0 && opened.st_dev == st.st_dev &&
                          opened.st_ino == st.st_ino;
        const bool reset = same && ::fchmod(fd, (opened.st_mode & 07777) | S_IWUSR) == 0;
        if (fd >= 0)
            ::close(fd);
        if (!reset)
            return done(same ? FileError::PermissionDenied : FileError::FileNotFound);
    }
    if (::unlinkat(folder, name.constData(), 0) != 0)
        return done(errorFromErrno(errno));
    return done(FileError::None);
}

void LinuxFiles::removeStaleTemporaries(const QString& path) {
    // A link's file is saved where it really is.
    const QString real = QFileInfo(path).canonicalFilePath();
    linuxp::removeStaleTemporaries(native(real.isEmpty() ? path : real));
}

int LinuxFiles::makeFolder(const QString& path) {
    struct stat st;
    if (statOf(path, &st, true))
        return S_ISDIR(st.st_mode) ? FileError::None : FileError::PathFileAccess;
    // Folders made here are their owner's alone.
    return makePrivateFolder(native(path));
}

// --- Large files read and moved in place --------------------------------------------------

std::optional<QByteArray> LinuxFiles::readPart(const QString& path, qint64 offset,
                                               qint64 length) const {
    if (offset < 0 || length < 0)
        return std::nullopt;
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    QByteArray bytes(qsizetype(length), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pread(fd, bytes.data() + done, size_t(bytes.size() - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break; // the end of the file
        done += n;
    }
    ::close(fd);
    bytes.truncate(done);
    return bytes;
}

int LinuxFiles::rename(const QString& from, const QString& to) {
    if (::rename(native(from).constData(), native(to).constData()) != 0)
        return errorFromErrno(errno);
    return FileError::None;
}

} // namespace platform::linuxp
