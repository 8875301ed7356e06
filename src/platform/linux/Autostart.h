#pragma once

#include <QString>
#include <optional>

namespace platform::linuxp {

// The XDG autostart entry that makes the desktop session start a program: a desktop entry
// file in ~/.config/autostart whose Exec line names the program, without arguments.

/// ~/.config/autostart/Tavrel.desktop
QString defaultAutostartFile();
/// Writes (atomically) an entry that starts `program`; false when it cannot be written.
bool writeAutostartEntry(const QString& file, const QString& program);
/// The program an entry starts; nothing when the file is missing, unreadable or disabled
/// (Hidden=true).
std::optional<QString> readAutostartEntry(const QString& file);

/// The Exec value that runs `program` with no arguments (quoted and escaped as desktop
/// entries require), and back.
QString execLine(const QString& program);
QString programOfExecLine(const QString& exec);

} // namespace platform::linuxp
