#include "watch/AllowedSites.h"

#include <QRegularExpression>
#include <QUrl>
#include <algorithm>

namespace watch {

namespace {

bool isHostLabel(const QString& label) {
    if (label.isEmpty() || label.size() > 63 || label.startsWith(u'-') || label.endsWith(u'-'))
        return false;
    return std::all_of(label.begin(), label.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_';
    });
}

bool isNumber(const QString& label) {
    return !label.isEmpty() &&
           std::all_of(label.begin(), label.end(), [](QChar c) { return c.isDigit(); });
}

bool isIpv4(const QStringList& labels) {
    return labels.size() == 4 && std::all_of(labels.begin(), labels.end(), [](const QString& l) {
               return isNumber(l) && l.size() <= 3 && l.toInt() <= 255;
           });
}

} // namespace

std::optional<QString> AllowedSites::normalize(const QString& text) {
    QString t = text.trimmed();
    if (const qsizetype scheme = t.indexOf(QStringLiteral("://")); scheme >= 0)
        t = t.mid(scheme + 3);
    if (const qsizetype end = t.indexOf(QRegularExpression(QStringLiteral("[/?#\\\\]"))); end >= 0)
        t.truncate(end);
    if (const qsizetype at = t.lastIndexOf(u'@'); at >= 0)
        t = t.mid(at + 1);
    if (t.startsWith(u'['))
        return std::nullopt; // IPv6 addresses are not taken
    if (const qsizetype colon = t.indexOf(u':'); colon >= 0) {
        if (!isNumber(t.mid(colon + 1)) && colon + 1 != t.size())
            return std::nullopt;
        t.truncate(colon);
    }
    if (t.startsWith(QStringLiteral("*.")))
        t.remove(0, 2); // subdomains are always included
    if (t.endsWith(u'.'))
        t.chop(1);
    if (t.isEmpty() || t.size() > 253)
        return std::nullopt;
    const QString ace = QString::fromLatin1(QUrl::toAce(t.toLower())).toLower();
    if (ace.isEmpty() || ace.size() > 253)
        return std::nullopt;
    QStringList labels = ace.split(u'.');
    if (!std::all_of(labels.begin(), labels.end(), isHostLabel))
        return std::nullopt;
    if (isIpv4(labels))
        return ace;
    if (isNumber(labels.back()))
        return std::nullopt; // neither a name nor an address
    if (labels.size() == 1)
        return ace == u"localhost" ? std::optional<QString>(ace) : std::nullopt;
    if (labels.front() == u"www" && labels.size() > 2)
        labels.removeFirst();
    return labels.join(u'.');
}

QString AllowedSites::hostOf(const QString& url) {
    const QUrl u(url, QUrl::TolerantMode);
    if (!u.isValid())
        return {};
    QString host = u.host(QUrl::FullyEncoded).toLower();
    if (host.endsWith(u'.'))
        host.chop(1);
    return host;
}

QString AllowedSites::shown(const QString& host) {
    return QUrl::fromAce(host.toLatin1(), QUrl::IgnoreIDNWhitelist);
}

std::optional<QString> AllowedSites::entryFor(const QString& host) const {
    if (host.isEmpty() || m_set.isEmpty())
        return std::nullopt;
    if (m_set.contains(host))
        return host;
    // A numeric address has no domain above it.
    if (isNumber(host.mid(host.lastIndexOf(u'.') + 1)))
        return std::nullopt;
    for (qsizetype dot = host.indexOf(u'.'); dot >= 0; dot = host.indexOf(u'.', dot + 1)) {
        const QString parent = host.mid(dot + 1);
        if (m_set.contains(parent))
            return parent;
    }
    return std::nullopt;
}

bool AllowedSites::allows(const QString& url) const {
    return !m_set.isEmpty() && entryFor(hostOf(url)).has_value();
}

namespace {
// The order of the list: as the user reads the names.
bool shownBefore(const QString& a, const QString& b) {
    const QString sa = AllowedSites::shown(a);
    const QString sb = AllowedSites::shown(b);
    return sa != sb ? sa < sb : a < b;
}
} // namespace

int AllowedSites::add(const QString& host) {
    if (m_set.contains(host))
        return int(m_hosts.indexOf(host));
    const auto it = std::lower_bound(m_hosts.begin(), m_hosts.end(), host, shownBefore);
    const int row = int(it - m_hosts.begin());
    insertRows(row, 1, [&] {
        m_hosts.insert(row, host);
        m_set.insert(host);
    });
    return row;
}

void AllowedSites::removeAt(int i) {
    if (i < 0 || i >= size())
        return;
    removeRows(i, 1, [&] {
        m_set.remove(m_hosts.at(i));
        m_hosts.removeAt(i);
    });
}

void AllowedSites::assign(QStringList hosts) {
    std::sort(hosts.begin(), hosts.end());
    hosts.erase(std::unique(hosts.begin(), hosts.end()), hosts.end());
    std::sort(hosts.begin(), hosts.end(), shownBefore);
    resetRows([&] {
        m_hosts = std::move(hosts);
        m_set = QSet<QString>(m_hosts.begin(), m_hosts.end());
    });
}

QString AllowedSites::cell(int row, int column) const {
    if (column != 0 || row < 0 || row >= size())
        return {};
    return shown(m_hosts.at(row));
}

} // namespace watch
