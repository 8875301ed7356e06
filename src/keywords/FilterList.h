#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace keywords {

// The lists users of blockers already trust, read as keywords: a hosts file
// ("0.0.0.0 ads.example.com", any address, several hosts a line, "#" comments), an
// adblock-style list ("||ads.example.com^" rules and plain host lines; its other rules are
// skipped) or a plain list (one keyword a line). Comments ("#", "!"), section headers
// ("[Adblock Plus 2.0]"), blank lines and the names of the machine itself ("localhost" ...)
// give no keyword.
struct FilterListEntries {
    /// The keywords in the file's order, as written (the same one may come twice).
    QStringList entries;
    /// Entries left out: adblock rules other than host rules, and the machine's own names.
    int skipped = 0;
};

/// Reads the entries of a list's text.
FilterListEntries readFilterList(QStringView text);

/// The text of a list file, or nothing when the bytes are not text: a NUL byte (outside
/// UTF-16 with its byte-order mark), or more than one byte in a hundred that is a control
/// character other than the blanks and line ends of a text.
std::optional<QString> filterListText(const QByteArray& bytes);

/// A name that stands for the machine itself in hosts files: "localhost", "local",
/// "broadcasthost", "0.0.0.0", the IPv6 loopback and multicast names ...
bool isLoopbackName(QStringView name);

/// A host name as lists write them: letters, digits, "-" and "_" in labels joined by dots,
/// at least two labels.
bool isHostName(QStringView text);

} // namespace keywords
