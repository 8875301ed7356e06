#pragma once

#include <QString>
#include <QStringView>

namespace platform {

// A file-name pattern: "*" stands for any run of characters, "?" for exactly one; every
// other character stands for itself, without regard to case. The whole name must match.
class NamePattern {
public:
    explicit NamePattern(const QString& pattern);

    /// True when the name matches.
    bool matches(QStringView name) const { return matchesFolded(fold(name)); }
    /// The same for a name already passed through `fold` (fold once, test many patterns).
    bool matchesFolded(QStringView foldedName) const;
    /// The form of a name in which case no longer counts.
    static QString fold(QStringView name);

private:
    QString m_folded;
    bool m_literal = true; // no "*" or "?": a plain comparison does
};

} // namespace platform
