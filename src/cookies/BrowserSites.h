#pragma once

#include "platform/Browser.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace cookies {

// The cookies of one site (host) of the watched browser, shown as one row of the cookie list
// as a cookie file is: the host as its name, "BROWSER/HOST" as its path, the most recent
// creation or access of its cookies as its date, the length of its records as its size. Its
// content is those records in the cookie-file format, so that it is analysed as a file is.
struct CookieSite {
    QString host;
    QString path;
    /// Empty when no cookie of the site says when it was made or used.
    QString date;
    QByteArray content;
    /// The site's cookies, in the order of the records.
    QList<platform::BrowserCookie> cookies;

    /// The cells of its row in the cookie list.
    QStringList cells() const { return {host, path, date, QString::number(content.size())}; }
};

/// The site a cookie belongs to: its domain without the leading dot.
QString siteOf(const platform::BrowserCookie& cookie);

/// A time as the two halves of a Windows FILETIME (100 ns steps since 1601-01-01 UTC), low
/// half first; 0 and 0 for none.
std::pair<quint32, quint32> fileTimeHalves(const std::optional<QDateTime>& time);

/// One cookie as a record of a cookie file, each line ended by LF: name, value, domain and
/// path, flags (1 secure, 0 not), expiry (low, high), creation (low, high), then "*". A "*"
/// in a field is written "%2A", as it would end the record (line breaks "%0D" and "%0A").
QByteArray cookieRecord(const platform::BrowserCookie& cookie);

/// The cookies grouped by site, the sites in the order of their hosts, the cookies of a site
/// in the order given. `browser` names the browser in the sites' paths.
std::vector<CookieSite> sitesOf(const QList<platform::BrowserCookie>& cookies,
                                const QString& browser);

/// The cookies in the Netscape cookies.txt format that curl, wget and yt-dlp read: the header
/// line, then one line a cookie of TAB-separated fields (domain, subdomains too, path,
/// secure, expiry in seconds since 1970 or 0 for a session cookie, name, value), an HttpOnly
/// cookie's line beginning with "#HttpOnly_". A cookie that a field's TAB or line break would
/// garble is left out and counted in `skipped`.
QByteArray netscapeCookieFile(const QList<platform::BrowserCookie>& cookies, int* skipped);

} // namespace cookies
