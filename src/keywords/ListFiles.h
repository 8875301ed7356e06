#pragma once

#include "platform/Dialogs.h"
#include "platform/Files.h"

#include <QSet>
#include <QString>
#include <optional>

namespace keywords {

/// How a save came about: the user's save command (explicit), or the hide command and the quit,
/// which save on the way (automatic).
enum class SaveMode { Explicit, Automatic };

// Reads and writes the files of the keyword list and of the statistics so that nothing is
// lost without a word: a file too large to be such a list is refused, a failed save says which
// file and why, and a file that could not be read is never written over by an automatic save
// (the list in memory is not what it held).
class ListFiles {
public:
    /// Files larger than this are refused. The largest keyword lists in use (hosts files of
    /// ad and tracker domains) stay well below it, and loading one takes memory of a small
    /// multiple of its size.
    static constexpr qint64 kMaxBytes = 32 * 1024 * 1024;

    /// `what` ends the refusal of a file too large: "ce n'est pas une liste de mots clés."
    ListFiles(platform::Files& files, platform::Dialogs& dialogs, QString what);

    /// The text of a file. When it cannot be read, or is too large, nothing: the file is
    /// then kept from automatic saves, and `reason` says why (for report()).
    std::optional<QString> read(const QString& path, QString* reason);
    /// Says that a file could not be read: "Impossible de lire le fichier :".
    void report(const QString& path, const QString& reason);
    /// Replaces a file's content; false after a message saying why it was not done.
    bool write(const QString& path, const QString& text, SaveMode mode);
    /// The same with the file's bytes already encoded.
    bool writeBytes(const QString& path, const QByteArray& bytes, SaveMode mode);
    /// True when the file was too large (the reason read() gave).
    bool tooLarge(const QString& reason) const;

private:
    platform::Files& m_files;
    platform::Dialogs& m_dialogs;
    QString m_tooLarge;
    /// The files whose reading failed in this run.
    QSet<QString> m_unread;
};

} // namespace keywords
