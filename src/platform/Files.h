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
} // namespace FileError

struct FileAttributes {
    bool exists = false;
    bool directory = false;
    bool hidden = false;   // name begins with "."
    bool system = false;   // neither a regular file nor a folder
    bool readOnly = false; // owner write bit clear
    bool symlink = false;
};

struct DirEntry {
    QString name;
    bool directory = false;
    bool symlink = false;
};

// The file system as the program sees it. Paths are absolute, "/" separated.
class Files {
public:
    virtual ~Files() = default;

    /// Folder of the program file, without a trailing "/".
    virtual QString programFolder() const = 0;
    /// Attributes of the entry at the path (exists false when there is none).
    virtual FileAttributes attributes(const QString& path) const = 0;
    /// Whole content of a file, or the error number when it cannot be read.
    virtual std::optional<QByteArray> readAll(const QString& path, int* error = nullptr) const = 0;
    /// Replaces a file's content: writes a temporary file beside it and renames it over.
    virtual int writeAll(const QString& path, const QByteArray& bytes) = 0;
    /// Appends to a file, creating it when missing.
    virtual int append(const QString& path, const QByteArray& bytes) = 0;
    /// Deletes a file; PathFileAccess (75) when it is read-only, FileNotFound when missing.
    virtual int remove(const QString& path) = 0;
    /// Resets a file's attributes to normal (restores the owner write bit).
    virtual int setNormal(const QString& path) = 0;
    /// Last modification time, or nothing when it cannot be read.
    virtual std::optional<QDateTime> modified(const QString& path) const = 0;
    /// Length in bytes, or nothing when it cannot be read.
    virtual std::optional<qint64> size(const QString& path) const = 0;
    /// Entries of a folder in the platform's listing order (names sorted), "." and ".." not
    /// included; nothing (and the error) when the folder cannot be listed.
    virtual std::optional<QList<DirEntry>> list(const QString& folder,
                                                int* error = nullptr) const = 0;
    /// Creates a folder and its parents.
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

/// The path with a "/" at its end (added unless it is there).
QString withTrailingSlash(const QString& path);
/// The path of a file in the program folder.
QString programFile(const Files& files, const QString& name);

// True when `path` names an ordinary file: read-only files count; hidden files, system files
// and folders do not.
bool FileExists(const Files& files, const QString& path);

} // namespace platform
