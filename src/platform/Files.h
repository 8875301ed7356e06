#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

// Error numbers, as the program reports them (the numbering of the original runtime).
namespace FileError {
constexpr int None = 0;
constexpr int BadFileName = 52;
constexpr int FileNotFound = 53;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75; // read-only file, or a folder where a file was expected
constexpr int PathNotFound = 76;
constexpr int DeviceIO = 57;
constexpr int DiskFull = 61;
} // namespace FileError

struct FileAttributes {
    bool exists = false;
    bool directory = false;
    bool hidden = false;   // name begins with "."
    bool system = false;   // neither a regular file nor a folder
    bool readOnly = false; // owner write bit clear
    bool symlink = false;
};

/// What a file is, whatever its name: its device and inode numbers.
struct FileId {
    quint64 device = 0;
    quint64 inode = 0;
    friend bool operator==(const FileId&, const FileId&) = default;
};

struct DirEntry {
    QString name;           ///< the name as shown: bytes that are not UTF-8 read as U+FFFD
    QByteArray rawName;     ///< the name's bytes as the folder holds them
    FileId id;              ///< the entry itself (a link, not what it points at)
    bool directory = false; ///< a folder, or a link to one
    bool symlink = false;
    bool hidden = false; ///< as FileAttributes::hidden
    bool system = false; ///< as FileAttributes::system; a dangling link is one
};

// The file system as the program sees it. Paths are absolute, "/" separated. Where a path is
// given as bytes ("raw"), it is the path as the system knows it, built from raw names that a
// listing gave; a path given as text stands for its UTF-8 bytes.
class Files {
public:
    virtual ~Files() = default;

    /// Folder where the program keeps the files it writes (keyword list, statistics, spyware
    /// list), without a trailing "/".
    virtual QString programFolder() const = 0;
    /// Folder of the files shipped with the program that it only reads (help text, sound,
    /// starter keyword list), without a trailing "/": the program folder unless the platform
    /// keeps them apart.
    virtual QString shippedFolder() const { return programFolder(); }
    /// Attributes of the entry at the path (exists false when there is none).
    virtual FileAttributes attributes(const QString& path) const = 0;
    /// Whole content of a file, or the error number when it cannot be read.
    virtual std::optional<QByteArray> readAll(const QString& path, int* error = nullptr) const = 0;
    /// Replaces a file's content: writes a temporary file beside it and renames it over, so
    /// that a failed save leaves the previous file whole; done when it is on the disk. A file
    /// made is its owner's alone.
    virtual int writeAll(const QString& path, const QByteArray& bytes) = 0;
    /// As writeAll, for a file that holds secrets: it ends up its owner's alone, even when it
    /// was there before with wider permissions.
    virtual int writePrivate(const QString& path, const QByteArray& bytes) = 0;
    /// Appends to a file, creating it (its owner's alone) when missing.
    virtual int append(const QString& path, const QByteArray& bytes) = 0;
    /// Deletes a file; PathFileAccess (75) when it is read-only, FileNotFound when missing.
    virtual int remove(const QString& path) = 0;
    /// Resets a file's attributes to normal (restores the owner write bit).
    virtual int setNormal(const QString& path) = 0;
    /// Last modification time, or nothing when it cannot be read.
    virtual std::optional<QDateTime> modified(const QString& path) const = 0;
    /// Length in bytes, or nothing when it cannot be read.
    virtual std::optional<qint64> size(const QString& path) const = 0;
    /// Entries of a folder in the platform's listing order (names sorted, alike names in the
    /// order of their bytes), "." and ".." not included; nothing (and the error) when the
    /// folder cannot be listed.
    virtual std::optional<QList<DirEntry>> list(const QString& folder,
                                                int* error = nullptr) const = 0;
    /// As list(), for a folder named by its raw path.
    virtual std::optional<QList<DirEntry>> listRaw(const QByteArray& folder,
                                                   int* error = nullptr) const = 0;
    /// As listRaw(), in the same order, but what each entry is comes from the folder's own
    /// listing, no entry being examined (a walk of a large tree): `id` may be unset, and a
    /// link's `directory` and `system` may be false whatever it leads to. entry() tells them.
    virtual std::optional<QList<DirEntry>> listKinds(const QByteArray& folder,
                                                     int* error = nullptr) const {
        return listRaw(folder, error);
    }
    /// One entry, by its raw path, examined as listRaw() examines each; nothing when it is
    /// not there.
    virtual std::optional<DirEntry> entry(const QByteArray& path) const;
    /// Deletes a listed entry by its raw path, following no link: PathNotFound when a folder
    /// on the way is a link or no folder, FileNotFound when the entry is gone or is no longer
    /// `id`; otherwise as remove(). `resetReadOnly` restores the owner write bit first.
    virtual int removeListed(const QByteArray& path, FileId id, bool resetReadOnly = false) = 0;
    /// Removes the temporary files that saves of `path` interrupted on the way left beside it.
    virtual void removeStaleTemporaries(const QString& path) = 0;
    /// Creates a folder and its parents (those made are their owner's alone).
    virtual int makeFolder(const QString& path) = 0;
    /// The mounted volumes a user can search, in the order they are offered.
    virtual QStringList volumes() const { return {QStringLiteral("/")}; }

    // Large files read and moved in place (the lasting journal).
    /// At most `length` bytes of a file from byte `offset` (fewer at its end), or nothing when
    /// it cannot be read.
    virtual std::optional<QByteArray> readPart(const QString& path, qint64 offset,
                                               qint64 length) const;
    /// Gives a file another name, replacing a file of that name.
    virtual int rename(const QString& from, const QString& to);
};

/// The text of an error number, as messages show it.
QString fileErrorText(int number);
/// A raw name or path as shown: bytes that are not UTF-8 read as U+FFFD.
QString shownName(const QByteArray& raw);

/// The path with a "/" at its end (added unless it is there).
QString withTrailingSlash(const QString& path);
/// The path of a file in the program folder.
QString programFile(const Files& files, const QString& name);
/// The path of a file shipped with the program.
QString shippedFile(const Files& files, const QString& name);

// True when `path` names an ordinary file: read-only files count; hidden files, system files
// and folders do not.
bool FileExists(const Files& files, const QString& path);

} // namespace platform
