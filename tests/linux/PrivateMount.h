#pragma once

// Failures that permissions cannot make for root (a read-only file system, a full disk) are
// made in a mount namespace of the test's own: a child process unshares its mounts (as a user
// namespace's root when it is not allowed otherwise), mounts a small tmpfs over a folder and
// runs the checks there. Nothing outside the child sees the mount.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <functional>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

struct PrivateMount {
    QString folder;
    /// Makes the mounted file system read-only; false when it could not.
    bool remountReadOnly() const {
        return ::mount(nullptr, QFile::encodeName(folder).constData(), nullptr,
                       MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
};

struct PrivateMountOutcome {
    QString skipped;    // why the checks could not run (empty when they ran)
    QStringList failed; // the checks that failed
};

namespace private_mount_detail {

inline bool writeText(const char* file, const QByteArray& text) {
    const int fd = ::open(file, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    ::close(fd);
    return ok;
}

// Enters a mount namespace of its own; the reason when it cannot.
inline QByteArray enterOwnMounts() {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (::unshare(CLONE_NEWNS) != 0) {
        const QByteArray plain = std::strerror(errno);
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return "cannot unshare the mounts (" + plain + ") nor make a user namespace (" +
                   std::strerror(errno) + ")";
        writeText("/proc/self/setgroups", "deny");
        if (!writeText("/proc/self/uid_map", "0 " + QByteArray::number(uid) + " 1") ||
            !writeText("/proc/self/gid_map", "0 " + QByteArray::number(gid) + " 1"))
            return "cannot map the user into its namespace";
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return QByteArray("cannot make the mounts private: ") + std::strerror(errno);
    return {};
}

} // namespace private_mount_detail

/// Runs `checks` in a child with a tmpfs of `size` (mount option, "64k") over `folder`; they
/// return the description of each failed check.
inline PrivateMountOutcome inPrivateMount(const QString& folder, const QByteArray& size,
                                          const std::function<QStringList(PrivateMount&)>& checks) {
    int channel[2];
    if (::pipe(channel) != 0)
        return {QStringLiteral("no pipe"), {}};
    const pid_t child = ::fork();
    if (child < 0)
        return {QStringLiteral("cannot fork"), {}};
    if (child == 0) {
        ::close(channel[0]);
        QByteArray report;
        int status = 0;
        const QByteArray problem = private_mount_detail::enterOwnMounts();
        if (!problem.isEmpty()) {
            report = problem;
            status = 3;
        } else if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                           ("size=" + size + ",mode=0755").constData()) != 0) {
            report = QByteArray("cannot mount a tmpfs: ") + std::strerror(errno);
            status = 3;
        } else {
            PrivateMount mount{folder};
            report = checks(mount).join(u'\n').toUtf8();
        }
        qsizetype done = 0;
        while (done < report.size()) {
            const ssize_t n =
                ::write(channel[1], report.constData() + done, size_t(report.size() - done));
            if (n <= 0)
                break;
            done += n;
        }
        ::_exit(status);
    }
    ::close(channel[1]);
    QByteArray report;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(channel[0], buffer, sizeof buffer)) > 0)
        report.append(buffer, n);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3)
        return {QString::fromUtf8(report), {}};
    PrivateMountOutcome outcome;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        outcome.failed.append(QStringLiteral("the checks did not end normally"));
    if (!report.isEmpty())
        outcome.failed += QString::fromUtf8(report).split(u'\n');
    return outcome;
}

/// A failed check's description when `actual` differs from `expected`.
template <typename T>
void check(QStringList& failed, const char* what, const T& actual, const T& expected) {
    if (!(actual == expected))
        failed.append(QString::fromUtf8(what));
}
