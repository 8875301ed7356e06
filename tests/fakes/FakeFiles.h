#pragma once

#include "platform/Files.h"

#include <QMap>

namespace fakes {

// An in-memory file system. The program folder is "/prog"; so is the folder of the shipped
// files unless a test moves it. Names are bytes as on Linux: a path holding bytes that are not
// UTF-8 is kept as text with each such byte as the lone surrogate U+DC00 + byte
// (pathFromBytes), so that it is found only by its raw path; listings show it with U+FFFD.
// Every entry has an inode number of its own, new whenever the entry is made again (a save
// replaces the file, as a rename over it does).
class FakeFiles : public platform::Files {
public:
    FakeFiles();

    QString programFolder() const override { return QStringLiteral("/prog"); }
    QString shippedFolder() const override { return m_shippedFolder; }
    platform::FileAttributes attributes(const QString& path) const override;
    std::optional<QByteArray> readAll(const QString& path, int* error = nullptr) const override;
    int writeAll(const QString& path, const QByteArray& bytes) override;
    int writePrivate(const QString& path, const QByteArray& bytes) override;
    int append(const QString& path, const QByteArray& bytes) override;
    int remove(const QString& path) override;
    int setNormal(const QString& path) override;
    std::optional<QDateTime> modified(const QString& path) const override;
    std::optional<qint64> size(const QString& path) const override;
    std::optional<QList<platform::DirEntry>> list(const QString& folder,
                                                  int* error = nullptr) const override;
    std::optional<QList<platform::DirEntry>> listRaw(const QByteArray& folder,
                                                     int* error = nullptr) const override;
    int removeListed(const QByteArray& path, platform::FileId id,
                     bool resetReadOnly = false) override;
    /// Saves here are never interrupted: nothing to remove.
    void removeStaleTemporaries(const QString&) override {}
    int makeFolder(const QString& path) override;

    /// The path of the fake for a raw path (bytes that are not UTF-8 as lone surrogates).
    static QString pathFromBytes(const QByteArray& raw);
    /// The raw path of a path of the fake.
    static QByteArray bytesOfPath(const QString& path);

    /// True when only the file's owner may read it (a file the program made, or made
    /// private); a file set up by `setFile` may be read by others.
    bool ownerOnly(const QString& path) const;

    // Set-up from scenarios and tests.
    void setFile(const QString& path, const QByteArray& bytes);
    void setReadOnly(const QString& path, bool readOnly);
    /// Marks an entry hidden (names beginning with "." are hidden anyway).
    void setHidden(const QString& path, bool hidden);
    /// A file that exists but cannot be read (or written).
    void setUnreadable(const QString& path, bool unreadable);
    void setSymlink(const QString& path, const QString& target);
    void setModified(const QString& path, const QDateTime& time);
    /// Time given to files written from now on.
    void setNow(const QDateTime& now) { m_now = now; }
    /// Every write to a path under this folder fails (a write-protected folder).
    void setWriteProtected(const QString& folder, bool on);
    /// Keeps the shipped files apart from the program folder, as an install does.
    void setShippedFolder(const QString& folder) { m_shippedFolder = folder; }
    /// Removes a folder and everything in it.
    void removeTree(const QString& folder);
    /// Reading this file fails with `error` (it can still be written); None ends it.
    void failReads(const QString& path, int error);
    /// While on, every write fails with DiskFull and changes nothing.
    void setDiskFull(bool full) { m_diskFull = full; }

private:
    struct Node {
        bool directory = false;
        QByteArray bytes;
        bool readOnly = false;
        bool unreadable = false;
        QString linkTarget; // non-empty for a symbolic link
        bool hidden = false;
        QDateTime modified;
        quint64 inode = 0;
        bool ownerOnly = false;
    };
    Node newNode() {
        Node n;
        n.modified = m_now;
        n.inode = ++m_lastInode;
        return n;
    }
    Node folderNode() {
        Node n = newNode();
        n.directory = true;
        return n;
    }
    int save(const QString& path, const QByteArray& bytes, bool ownerOnly);
    static QString normalize(const QString& path);
    static QString parentOf(const QString& path);
    const Node* resolve(const QString& path, int depth = 0) const;
    bool writable(const QString& path) const;
    void ensureParents(const QString& path);

    QMap<QString, Node> m_nodes;
    QStringList m_protected;
    QString m_shippedFolder = QStringLiteral("/prog");
    QMap<QString, int> m_readErrors;
    bool m_diskFull = false;
    QDateTime m_now;
    quint64 m_lastInode = 0;
};

} // namespace fakes
