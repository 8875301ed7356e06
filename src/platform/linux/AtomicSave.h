#pragma once

#include <QByteArray>
#include <QString>

namespace platform::linuxp {

// Saving the program's own files so that nothing is lost: a save replaces a file whole or not
// at all and survives a power cut once it has returned; what the program creates is readable
// by its user only. Paths are native (bytes). Results are platform::FileError numbers.

/// Creates a folder and its missing parents, each new one the owner's alone (0700).
int makePrivateFolder(const QByteArray& path);
/// Replaces a file's content: writes a temporary file beside it, syncs it, renames it over the
/// file and syncs the folder. A new file is the owner's alone (0600); an existing one keeps its
/// permissions, unless `ownerOnly` makes it the owner's alone too.
int saveFile(const QByteArray& path, const QByteArray& bytes, bool ownerOnly = false);
/// Makes what was written to a file (by another writer) and its name reach the disk: syncs
/// the file and its folder.
int syncToDisk(const QByteArray& path);
/// Creates an empty file that only its owner may read, unless the file exists.
int createPrivateFile(const QByteArray& path);
/// Removes the temporary files that saves of this file, interrupted on the way, left beside
/// it (only ours: named after the file, owned by this user, ordinary files).
void removeStaleTemporaries(const QByteArray& path);
/// Moves a file aside to "PATH.SUFFIX", or "PATH.SUFFIX.2", ".3", ... when that is taken:
/// never over another file. Returns the new path, or nothing when it could not.
QString keepAside(const QString& path, const QString& suffix);

} // namespace platform::linuxp
