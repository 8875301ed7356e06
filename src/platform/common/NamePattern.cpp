#include "platform/NamePattern.h"

namespace platform {

NamePattern::NamePattern(const QString& pattern)
    : m_folded(fold(pattern)), m_literal(!pattern.contains(u'*') && !pattern.contains(u'?')) {}

QString NamePattern::fold(QStringView name) {
    return name.toString().toCaseFolded();
}

bool NamePattern::matchesFolded(QStringView name) const {
    // An empty entry names no file (rather than every file of the folder).
    if (m_folded.isEmpty())
        return false;
    if (m_literal)
        return name == m_folded;
    // Greedy walk that remembers the last "*": on a mismatch the star takes one more
    // character. Time grows with the product of the lengths at worst, never exponentially.
    const QStringView p(m_folded);
    qsizetype pi = 0;
    qsizetype ni = 0;
    qsizetype star = -1;
    qsizetype starName = 0;
    while (ni < name.size()) {
        if (pi < p.size() && p[pi] == u'*') {
            star = pi++;
            starName = ni;
        } else if (pi < p.size() && (p[pi] == u'?' || p[pi] == name[ni])) {
            ++pi;
            ++ni;
        } else if (star >= 0) {
            pi = star + 1;
            ni = ++starName;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == u'*')
        ++pi;
    return pi == p.size();
}

} // namespace platform
