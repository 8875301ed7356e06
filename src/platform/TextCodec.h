#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The encoding of the program's text files and of the texts in the key tree. Files written
// by older versions, or by hand on another system, are in Windows-1252; files holding
// characters beyond it are in UTF-8. Both read back through the same rule.

/// File bytes to text: UTF-8 when the bytes are valid UTF-8 (without a byte order mark at the
/// start), otherwise Windows-1252.
QString decodeText(const QByteArray& bytes);
/// Text to file bytes that read back as the same text: Windows-1252 when every character
/// fits and the bytes do not also form UTF-8 (plain ASCII aside), otherwise UTF-8 (for the
/// whole text, never mixed; after a byte order mark when the text begins with U+FEFF).
/// Text is Unicode: a lone surrogate, which no file can hold, is written as "?".
QByteArray encodeText(const QString& text);
/// Writes `text`'s bytes at `out` (room for `text.size()` bytes) when it is plain ASCII, whose
/// bytes are the same whatever the encoding chosen above; false otherwise, what was written
/// then meaning nothing. A writer can so put a file's bytes together without building its
/// whole text first.
bool copyAscii(char* out, QStringView text);

} // namespace platform
