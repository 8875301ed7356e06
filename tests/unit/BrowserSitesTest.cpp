#include "cookies/BrowserSites.h"
#include "cookies/CookieManager.h"
#include "cookies/CookieParser.h"

#include <gtest/gtest.h>

using namespace cookies;
using platform::BrowserCookie;

namespace {

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

BrowserCookie cookie(const QString& name, const QString& value, const QString& domain,
                     const QString& path = QStringLiteral("/")) {
    BrowserCookie c;
    c.name = name;
    c.value = value;
    c.domain = domain;
    c.path = path;
    return c;
}

} // namespace

TEST(BrowserSites, TimesAreTheTwoHalvesOfAWindowsFileTime) {
    // 2027-01-01 00:00:00 UTC is 134432352000000000 steps of 100 ns since 1601.
    EXPECT_EQ(fileTimeHalves(utc(2027, 1, 1)), std::make_pair(189251584u, 31299971u));
    EXPECT_EQ(fileTimeHalves(utc(1601, 1, 1)), std::make_pair(0u, 0u));
    EXPECT_EQ(fileTimeHalves(utc(1970, 1, 1)), std::make_pair(3577643008u, 27111902u));
    // None, before 1601, not a time: nothing to tell.
    EXPECT_EQ(fileTimeHalves(std::nullopt), std::make_pair(0u, 0u));
    EXPECT_EQ(fileTimeHalves(utc(1500, 1, 1)), std::make_pair(0u, 0u));
    EXPECT_EQ(fileTimeHalves(QDateTime()), std::make_pair(0u, 0u));
}

TEST(BrowserSites, ASitesRecordsParseBackIntoItsCookies) {
    BrowserCookie secure = cookie("pref", "a+b%3Dc", ".meteo.example", "/villes");
    secure.secure = true;
    secure.expires = utc(2027, 1, 1);
    secure.created = utc(1970, 1, 1);
    // A "*" would end the record, a line break would cut it: both are written as escapes.
    const BrowserCookie starred = cookie("n*", "x*y\r\nz", "meteo.example");
    const auto sites = sitesOf({secure, starred}, "Chromium");
    ASSERT_EQ(sites.size(), 1u);
    EXPECT_EQ(sites[0].content, "pref\na+b%3Dc\n.meteo.example/villes\n1\n189251584\n31299971\n"
                                "3577643008\n27111902\n*\n"
                                "n%2A\nx%2Ay%0D%0Az\nmeteo.example/\n0\n0\n0\n0\n0\n*\n");
    // Analysed as a file of them is: one row a cookie, the secure flag read back.
    const auto rows = parseRecords(analysisText(sites[0].content), sites[0].path);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].domain, ".meteo.example/villes");
    EXPECT_EQ(rows[0].name, "pref");
    EXPECT_EQ(rows[0].value, "a+b%3Dc");
    EXPECT_EQ(rows[0].secure, "True");
    EXPECT_EQ(rows[0].parent, "Chromium/meteo.example");
    EXPECT_EQ(rows[1].name, "n%2A");
    EXPECT_EQ(rows[1].value, "x%2Ay%0D%0Az");
    EXPECT_EQ(rows[1].secure, "False");
}

TEST(BrowserSites, OneRowASiteWithItsLatestUseAndTheSizeOfItsRecords) {
    BrowserCookie a = cookie("a", "1", ".ads.example");
    a.created = utc(2026, 1, 2, 10);
    a.lastAccess = utc(2026, 1, 5, 8, 30);
    BrowserCookie b = cookie("b", "2", "ads.example", "/x");
    b.created = utc(2026, 1, 6, 7); // made later than a was last used
    const BrowserCookie c = cookie("c", "3", "www.ads.example");
    const BrowserCookie d = cookie("d", "4", "127.0.0.1");
    const auto sites = sitesOf({c, a, d, b}, "Firefox");
    ASSERT_EQ(sites.size(), 3u);
    // In the order of their hosts; a domain cookie and a host-only one of one host together.
    EXPECT_EQ(sites[0].host, "127.0.0.1");
    EXPECT_EQ(sites[1].host, "ads.example");
    EXPECT_EQ(sites[2].host, "www.ads.example");
    EXPECT_EQ(sites[1].cookies, (QList<BrowserCookie>{a, b}));
    EXPECT_EQ(sites[1].path, "Firefox/ads.example");
    EXPECT_EQ(sites[1].date, cookieDateText(utc(2026, 1, 6, 7).toLocalTime()));
    EXPECT_EQ(sites[1].content, cookieRecord(a) + cookieRecord(b));
    EXPECT_EQ(sites[1].cells(), QStringList({"ads.example", "Firefox/ads.example", sites[1].date,
                                             QString::number(sites[1].content.size())}));
    // No time told: no date.
    EXPECT_EQ(sites[2].date, "");
    EXPECT_TRUE(sitesOf({}, "Chromium").empty());
}

TEST(BrowserSites, NetscapeCookieFileAsCurlAndYtDlpReadIt) {
    BrowserCookie session = cookie("js", "1%2B2", "127.0.0.1");
    BrowserCookie lasting = cookie("sid", "abc", "127.0.0.1");
    lasting.httpOnly = true;
    lasting.expires = utc(2027, 1, 1);
    BrowserCookie domain = cookie("pref", "été", ".meteo.example", "/villes");
    domain.secure = true;
    domain.expires = utc(2026, 6, 1, 12);
    const BrowserCookie tab = cookie("t", "a\tb", ".x.example");
    const BrowserCookie noDomain = cookie("n", "v", "");
    int skipped = -1;
    const QByteArray text = netscapeCookieFile({session, lasting, domain, tab, noDomain}, &skipped);
    EXPECT_EQ(text, QByteArray("# Netscape HTTP Cookie File\n\n"
                               "127.0.0.1\tFALSE\t/\tFALSE\t0\tjs\t1%2B2\n"
                               "#HttpOnly_127.0.0.1\tFALSE\t/\tFALSE\t1798761600\tsid\tabc\n"
                               ".meteo.example\tTRUE\t/villes\tTRUE\t1780315200\tpref\t") +
                        QStringLiteral("été").toUtf8() + "\n");
    EXPECT_EQ(skipped, 2);
    EXPECT_EQ(netscapeCookieFile({}, &skipped), "# Netscape HTTP Cookie File\n\n");
    EXPECT_EQ(skipped, 0);
}
