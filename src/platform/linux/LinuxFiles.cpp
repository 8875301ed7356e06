#include "platform/linux/LinuxFiles.h"

#include "platform/linux/LinuxPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
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
    default:
        return FileError::DeviceIO;
    }
}

LinuxFiles::LinuxFiles(QString programFolder) : m_programFolder(std::move(programFolder)) {}

QString LinuxFiles::programFolder() const {
    return m_programFolder.isEmpty() ? executableFolder() : m_programFolder;
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
    if (!isDirectory(parentOf(path)))
        return FileError::PathNotFound;
    QString target = path;
    struct stat st;
    if (statOf(path, &st, true)) {
        if (S_ISDIR(st.st_mode))
            return FileError::PathFileAccess;
        // A read-only file is not replaced, even by a user (root) who could.
        if (ownerCannotWrite(st))
            return FileError::PermissionDenied;
        // Write through a link to the file it names, and keep the link.
        const QString linked = QFileInfo(path).canonicalFilePath();
        if (!linked.isEmpty())
            target = linked;
    }
    // The new content goes to a temporary file beside the target, which is renamed over it
    // only when everything was written: a failed save leaves the previous file whole.
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return errno ? errorFromErrno(errno) : FileError::PermissionDenied;
    if (file.write(bytes) != bytes.size())
        return FileError::DeviceIO; // the temporary file is discarded with `file`
    if (!file.commit())
        return FileError::DeviceIO;
    return FileError::None;
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
    const int fd =
        ::open(native(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
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
    DIR* dir = ::opendir(native(folder).constData());
    if (!dir) {
        if (error)
            *error = errno == ENOENT || errno == ENOTDIR ? FileError::PathNotFound
                                                         : errorFromErrno(errno);
        return std::nullopt;
    }
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
    QList<DirEntry> entries;
    while (const dirent* d = ::readdir(dir)) {
        const QString name = QFile::decodeName(d->d_name);
        if (name == u"." || name == u"..")
            continue;
        DirEntry e;
        e.name = name;
        struct stat st;
        if (statOf(prefix + name, &st, false)) {
            e.symlink = S_ISLNK(st.st_mode);
            if (e.symlink)
                e.directory = statOf(prefix + name, &st, true) && S_ISDIR(st.st_mode);
            else
                e.directory = S_ISDIR(st.st_mode);
        }
        entries.append(e);
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    if (error)
        *error = FileError::None;
    return entries;
}

int LinuxFiles::makeFolder(const QString& path) {
    struct stat st;
    if (statOf(path, &st, true))
        return S_ISDIR(st.st_mode) ? FileError::None : FileError::PathFileAccess;
    if (!QDir().mkpath(path))
        return FileError::PermissionDenied;
    return FileError::None;
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
