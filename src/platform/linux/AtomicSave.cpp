#include "platform/linux/AtomicSave.h"

#include "platform/Files.h"
#include "platform/linux/LinuxFiles.h"

#include <QFile>
#include <QRandomGenerator>
#include <algorithm>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::linuxp {

namespace {

// Temporary files are hidden and named after their file: ".NAME.tavrel-save-XXXXXX".
const QByteArray kTemporaryMark = QByteArrayLiteral(".tavrel-save-");
constexpr int kRandomLength = 6;

QByteArray temporaryPrefix(const QByteArray& name) {
    return '.' + name + kTemporaryMark;
}

bool isAlphanumeric(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

QByteArray randomSuffix() {
    static const char chars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray s(kRandomLength, '0');
    for (char& c : s)
        c = chars[QRandomGenerator::system()->bounded(int(sizeof chars - 1))];
    return s;
}

// The folder and the name of a path ("" folder for a name alone, "/" for the root's files).
void split(const QByteArray& path, QByteArray* folder, QByteArray* name) {
    const qsizetype slash = path.lastIndexOf('/');
    *folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
    *name = path.mid(slash + 1);
}

// A folder held open for the *at() calls, closed when it goes.
struct Folder {
    int fd = -1;
    explicit Folder(const QByteArray& path)
        : fd(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    ~Folder() {
        if (fd >= 0)
            ::close(fd);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
};

bool writeAllTo(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}

} // namespace

int makePrivateFolder(const QByteArray& path) {
    if (path.isEmpty())
        return FileError::BadFileName;
    qsizetype from = path.startsWith('/') ? 1 : 0;
    for (;;) {
        const qsizetype slash = path.indexOf('/', from);
        const QByteArray prefix = slash < 0 ? path : path.left(slash);
        if (!prefix.isEmpty() && !prefix.endsWith('/')) {
            struct stat st;
            if (::stat(prefix.constData(), &st) == 0) {
                if (!S_ISDIR(st.st_mode))
                    return FileError::PathFileAccess;
            } else if (::mkdir(prefix.constData(), 0700) != 0 && errno != EEXIST) {
                return LinuxFiles::errorFromErrno(errno);
            }
        }
        if (slash < 0)
            return FileError::None;
        from = slash + 1;
    }
}

int saveFile(const QByteArray& path, const QByteArray& bytes, bool ownerOnly) {
    QByteArray folderPath, name;
    split(path, &folderPath, &name);
    if (name.isEmpty())
        return FileError::BadFileName;
    const Folder folder(folderPath);
    if (folder.fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? FileError::PathNotFound
                                                   : LinuxFiles::errorFromErrno(errno);
    mode_t mode = 0600;
    struct stat st;
    if (::fstatat(folder.fd, name.constData(), &st, 0) == 0) {
        if (S_ISDIR(st.st_mode))
            return FileError::PathFileAccess;
        // A read-only file is not replaced, even by a user (root) who could.
        if ((st.st_mode & S_IWUSR) == 0)
            return FileError::PermissionDenied;
        if (!ownerOnly)
            mode = st.st_mode & 07777;
    }
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = temporaryPrefix(name) + randomSuffix();
        fd = ::openat(folder.fd, temporary.constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            return LinuxFiles::errorFromErrno(errno);
    }
    if (fd < 0)
        return FileError::PathFileAccess;
    auto fail = [&](int e) {
        if (fd >= 0)
            ::close(fd);
        ::unlinkat(folder.fd, temporary.constData(), 0);
        return LinuxFiles::errorFromErrno(e);
    };
    if (!writeAllTo(fd, bytes))
        return fail(errno);
    // The file keeps the permissions it had (fchmod ignores the umask); a private one is made
    // so whatever the umask.
    if (mode != 0600 || ownerOnly)
        ::fchmod(fd, mode);
    if (::fsync(fd) != 0)
        return fail(errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
        return fail(errno);
    if (::renameat(folder.fd, temporary.constData(), folder.fd, name.constData()) != 0)
        return fail(errno);
    // The rename itself reaches the disk only with its folder.
    if (::fsync(folder.fd) != 0 && errno != EINVAL)
        return LinuxFiles::errorFromErrno(errno);
    return FileError::None;
}

int syncToDisk(const QByteArray& path) {
    QByteArray folderPath, name;
    split(path, &folderPath, &name);
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return LinuxFiles::errorFromErrno(errno);
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    const int e = errno;
    ::close(fd);
    if (!synced)
        return LinuxFiles::errorFromErrno(e);
    const Folder folder(folderPath);
    if (folder.fd >= 0 && ::fsync(folder.fd) != 0 && errno != EINVAL)
        return LinuxFiles::errorFromErrno(errno);
    return FileError::None;
}

int createPrivateFile(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno == EEXIST ? FileError::None : LinuxFiles::errorFromErrno(errno);
    ::close(fd);
    return FileError::None;
}

void removeStaleTemporaries(const QByteArray& path) {
    QByteArray folderPath, name;
    split(path, &folderPath, &name);
    if (name.isEmpty())
        return;
    const int fd = ::open(folderPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    const QByteArray prefix = temporaryPrefix(name);
    while (const dirent* d = ::readdir(dir)) {
        const QByteArray entry(d->d_name);
        if (entry.size() != prefix.size() + kRandomLength || !entry.startsWith(prefix))
            continue;
        const QByteArray suffix = entry.mid(prefix.size());
        if (!std::all_of(suffix.begin(), suffix.end(), isAlphanumeric))
            continue;
        struct stat st;
        if (::fstatat(fd, entry.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
            ::unlinkat(fd, entry.constData(), 0);
    }
    ::closedir(dir);
}

QString keepAside(const QString& path, const QString& suffix) {
    const QByteArray from = QFile::encodeName(path);
    for (int n = 1; n < 1000; ++n) {
        const QString aside =
            path + u'.' + suffix + (n == 1 ? QString() : u'.' + QString::number(n));
        const QByteArray to = QFile::encodeName(aside);
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) ==
            0)
            return aside;
        if (errno == EEXIST)
            continue;
        if (errno != EINVAL && errno != ENOSYS)
            return {};
        // A file system that cannot rename without replacing: a second name, then the first
        // one goes (link fails on a taken name).
        if (::link(from.constData(), to.constData()) == 0) {
            ::unlink(from.constData());
            return aside;
        }
        if (errno != EEXIST)
            return {};
    }
    return {};
}

} // namespace platform::linuxp
