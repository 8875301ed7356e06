#pragma once

#include "platform/Files.h"

#include <QMap>

namespace fakes {

// An in-memory file system. The program folder is "/prog"; so is the folder of the shipped
// files unless a test moves it.
class FakeFiles : public platform::Files {
public:
    FakeFiles();

    QString programFolder() const override { return QStringLiteral("/prog"); }
    QString shippedFolder() const override { return m_shippedFolder; }
    platform::FileAttributes attributes(const QString& path) const override;
    std::optional<QByteArray> readAll(const QString& path, int* error = nullptr) const override;
    int writeAll(const QString& path, const QByteArray& bytes) override;
    int append(const QString& path, const QByteArray& bytes) override;
    int remove(const QString& path) override;
    int setNormal(const QString& path) override;
    std::optional<QDateTime> modified(const QString& path) const override;
    std::optional<qint64> size(const QString& path) const override;
    std::optional<QList<platform::DirEntry>> list(const QString& folder,
                                                  int* error = nullptr) const override;
    int makeFolder(const QString& path) override;

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

private:
    struct Node {
        bool directory = false;
        QByteArray bytes;
        bool readOnly = false;
        bool unreadable = false;
        QString linkTarget;
        bool hidden = false; // non-empty for a symbolic link
        QDateTime modified;
    };
    Node folderNode() const {
        Node n;
        n.directory = true;
        n.modified = m_now;
        return n;
    }
    static QString normalize(const QString& path);
    static QString parentOf(const QString& path);
    const Node* resolve(const QString& path, int depth = 0) const;
    bool writable(const QString& path) const;
    void ensureParents(const QString& path);

    QMap<QString, Node> m_nodes;
    QStringList m_protected;
    QString m_shippedFolder = QStringLiteral("/prog");
    QDateTime m_now;
};

} // namespace fakes
