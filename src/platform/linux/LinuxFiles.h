#pragma once

#include "platform/Files.h"

namespace platform::linuxp {

// The real file system. Attributes as the program knows them: hidden = the name begins with
// "."; system = neither a regular file nor a folder; read-only = the owner write bit is clear.
// Error numbers are those of platform::FileError. Saves are atomic and durable, and what is
// created is private (see AtomicSave.h).
class LinuxFiles : public Files {
public:
    /// `programFolder`: empty means Tavrel's data folder (~/.local/share/Tavrel).
    /// `shippedFolder`: empty means share/tavrel beside the program file's folder.
    explicit LinuxFiles(QString programFolder = {}, QString shippedFolder = {});

    QString programFolder() const override;
    QString shippedFolder() const override;
    FileAttributes attributes(const QString& path) const override;
    std::optional<QByteArray> readAll(const QString& path, int* error = nullptr) const override;
    int writeAll(const QString& path, const QByteArray& bytes) override;
    int writePrivate(const QString& path, const QByteArray& bytes) override;
    int append(const QString& path, const QByteArray& bytes) override;
    int remove(const QString& path) override;
    int setNormal(const QString& path) override;
    std::optional<QDateTime> modified(const QString& path) const override;
    std::optional<qint64> size(const QString& path) const override;
    std::optional<QList<DirEntry>> list(const QString& folder, int* error = nullptr) const override;
    std::optional<QList<DirEntry>> listRaw(const QByteArray& folder,
                                           int* error = nullptr) const override;
    /// Kinds from the listing's entry types (no stat), except on file systems that give none.
    std::optional<QList<DirEntry>> listKinds(const QByteArray& folder,
                                             int* error = nullptr) const override;
    std::optional<DirEntry> entry(const QByteArray& path) const override;
    int removeListed(const QByteArray& path, FileId id, bool resetReadOnly = false) override;
    void removeStaleTemporaries(const QString& path) override;
    int makeFolder(const QString& path) override;
    std::optional<QByteArray> readPart(const QString& path, qint64 offset,
                                       qint64 length) const override;
    int rename(const QString& from, const QString& to) override;

    /// The program's error number for a system error (errno).
    static int errorFromErrno(int e);

private:
    int save(const QString& path, const QByteArray& bytes, bool ownerOnly);

    QString m_programFolder;
    QString m_shippedFolder;
};

} // namespace platform::linuxp
