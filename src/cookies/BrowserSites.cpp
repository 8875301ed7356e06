#include "cookies/BrowserSites.h"

#include "cookies/CookieManager.h"

#include <QMap>
#include <algorithm>

namespace cookies {

using platform::BrowserCookie;

namespace {

// Milliseconds from 1601-01-01 to 1970-01-01 (UTC).
constexpr qint64 kFileTimeEpochMs = 11644473600000LL;

// A field as a line of a record: nothing in it may end the line or the record.
QByteArray recordField(const QString& text) {
    QByteArray bytes = text.toUtf8();
    bytes.replace('*', "%2A");
    bytes.replace('\r', "%0D");
    bytes.replace('\n', "%0A");
    return bytes;
}

void appendHalves(QByteArray& out, const std::optional<QDateTime>& time) {
    const auto [low, high] = fileTimeHalves(time);
    out += QByteArray::number(low) + '\n' + QByteArray::number(high) + '\n';
}

// The most recent of the times a cookie tells, or nothing.
std::optional<QDateTime> latestUse(const BrowserCookie& c) {
    if (c.created && c.lastAccess)
        return std::max(*c.created, *c.lastAccess);
    return c.created ? c.created : c.lastAccess;
}

bool garbles(const QString& field) {
    return field.contains(u'\t') || field.contains(u'\r') || field.contains(u'\n');
}

} // namespace

QString siteOf(const BrowserCookie& cookie) {
    return cookie.domain.startsWith(u'.') ? cookie.domain.mid(1) : cookie.domain;
}

std::pair<quint32, quint32> fileTimeHalves(const std::optional<QDateTime>& time) {
    if (!time || !time->isValid())
        return {0, 0};
    const qint64 ms = time->toMSecsSinceEpoch();
    // Before 1601, or too far on to be counted: no time.
    if (ms < -kFileTimeEpochMs || ms > (INT64_MAX / 10000) - kFileTimeEpochMs)
        return {0, 0};
    const quint64 ticks = quint64(ms + kFileTimeEpochMs) * 10000u;
    return {quint32(ticks & 0xffffffffu), quint32(ticks >> 32)};
}

QByteArray cookieRecord(const BrowserCookie& cookie) {
    QByteArray out;
    out += recordField(cookie.name) + '\n';
    out += recordField(cookie.value) + '\n';
    out += recordField(cookie.domain + cookie.path) + '\n';
    out += cookie.secure ? "1\n" : "0\n";
    appendHalves(out, cookie.expires);
    appendHalves(out, cookie.created);
    out += "*\n";
    return out;
}

std::vector<CookieSite> sitesOf(const QList<BrowserCookie>& cookies, const QString& browser) {
    QMap<QString, CookieSite> byHost; // ordered by host
    QMap<QString, std::optional<QDateTime>> latest;
    for (const BrowserCookie& c : cookies) {
        const QString host = siteOf(c);
        CookieSite& site = byHost[host];
        if (site.cookies.isEmpty()) {
            site.host = host;
            site.path = browser + u'/' + host;
        }
        site.cookies.append(c);
        site.content += cookieRecord(c);
        std::optional<QDateTime>& last = latest[host];
        if (const auto used = latestUse(c); used && (!last || *used > *last))
            last = used;
    }
    std::vector<CookieSite> sites;
    sites.reserve(std::size_t(byHost.size()));
    for (auto it = byHost.begin(); it != byHost.end(); ++it) {
        if (const auto& last = latest.value(it.key()))
            it->date = cookieDateText(last->toLocalTime());
        sites.push_back(std::move(*it));
    }
    return sites;
}

QByteArray netscapeCookieFile(const QList<BrowserCookie>& cookies, int* skipped) {
    QByteArray out = "# Netscape HTTP Cookie File\n\n";
    int left = 0;
    for (const BrowserCookie& c : cookies) {
        const QString fields[] = {c.domain, c.path, c.name, c.value};
        if (c.domain.isEmpty() || std::any_of(std::begin(fields), std::end(fields), garbles)) {
            ++left;
            continue;
        }
        const qint64 expiry = c.expires && c.expires->isValid()
                                  ? std::max<qint64>(1, c.expires->toSecsSinceEpoch())
                                  : 0;
        QByteArray line;
        if (c.httpOnly)
            line += "#HttpOnly_";
        line += c.domain.toUtf8() + '\t';
        line += c.domain.startsWith(u'.') ? "TRUE\t" : "FALSE\t";
        line += (c.path.isEmpty() ? QByteArray("/") : c.path.toUtf8()) + '\t';
        line += c.secure ? "TRUE\t" : "FALSE\t";
        line += QByteArray::number(expiry) + '\t';
        line += c.name.toUtf8() + '\t' + c.value.toUtf8() + '\n';
        out += line;
    }
    if (skipped)
        *skipped = left;
    return out;
}

} // namespace cookies
