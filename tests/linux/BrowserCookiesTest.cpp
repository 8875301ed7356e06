// The cookies as the browsers' protocols write them, and the deletions that name exactly one.

#include "platform/linux/ChromiumCookies.h"
#include "platform/linux/FirefoxCookies.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace platform;
using namespace platform::linuxp;

namespace {

QJsonObject json(const char* text) {
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

} // namespace

TEST(ChromiumCookies, StorageGetCookiesAnswersAndTheirDeletion) {
    // As Chromium 156 gives them: a session cookie has the expiry -1.
    const BrowserCookie session = chromium::cookieFromCdp(
        json(R"({"name":"js","value":"1%2B2","domain":"127.0.0.1","path":"/","expires":-1,
                 "size":7,"httpOnly":false,"secure":false,"session":true,"priority":"Medium",
                 "sourceScheme":"NonSecure","sourcePort":50937})"));
    EXPECT_EQ(session.name, "js");
    EXPECT_EQ(session.value, "1%2B2");
    EXPECT_EQ(session.domain, "127.0.0.1");
    EXPECT_EQ(session.size, 7);
    EXPECT_FALSE(session.expires.has_value());
    EXPECT_FALSE(session.created.has_value());
    EXPECT_TRUE(session.partition.isEmpty());
    EXPECT_EQ(chromium::deleteCookieParams(session),
              json(R"({"name":"js","domain":"127.0.0.1","path":"/"})"));

    const BrowserCookie partitioned = chromium::cookieFromCdp(
        json(R"({"name":"id","value":"v","domain":".ads.example","path":"/x",
                 "expires":1798761600.561062,"size":3,"httpOnly":true,"secure":true,
                 "session":false,"partitionKey":{"topLevelSite":"https://news.example",
                 "hasCrossSiteAncestor":true}})"));
    EXPECT_TRUE(partitioned.secure);
    EXPECT_TRUE(partitioned.httpOnly);
    ASSERT_TRUE(partitioned.expires.has_value());
    EXPECT_EQ(partitioned.expires->toMSecsSinceEpoch(), 1798761600561);
    // Deleted in its own partition only.
    EXPECT_EQ(chromium::deleteCookieParams(partitioned),
              json(R"({"name":"id","domain":".ads.example","path":"/x",
                       "partitionKey":{"topLevelSite":"https://news.example",
                                       "hasCrossSiteAncestor":true}})"));
}

TEST(FirefoxCookies, StorageGetCookiesAnswersAndTheirDeletion) {
    const QString partition = QStringLiteral(R"({"userContext":"default"})");
    const BrowserCookie text = firefox::cookieFromBidi(
        json(R"({"name":"sid","value":{"type":"string","value":"abc"},"domain":".x.example",
                 "path":"/","size":6,"httpOnly":true,"secure":false,"sameSite":"lax",
                 "expiry":1798761600})"),
        partition);
    EXPECT_EQ(text.value, "abc");
    EXPECT_EQ(text.domain, ".x.example");
    EXPECT_TRUE(text.httpOnly);
    ASSERT_TRUE(text.expires.has_value());
    EXPECT_EQ(text.expires->toSecsSinceEpoch(), 1798761600);
    EXPECT_EQ(firefox::deleteCookieParams(text),
              json(R"({"filter":{"name":"sid","domain":".x.example","path":"/"},
                       "partition":{"type":"storageKey","userContext":"default"}})"));

    // Bytes that are not UTF-8 come as base64; no expiry: a session cookie.
    const BrowserCookie bytes = firefox::cookieFromBidi(
        json(R"({"name":"b","value":{"type":"base64","value":"6XTp"},"domain":"x.example",
                 "path":"/a","size":4,"httpOnly":false,"secure":true,"sameSite":"none"})"),
        QString());
    EXPECT_EQ(bytes.value, QStringLiteral("été")); // read as Windows-1252
    EXPECT_FALSE(bytes.expires.has_value());
    EXPECT_TRUE(bytes.secure);
    EXPECT_EQ(firefox::deleteCookieParams(bytes),
              json(R"({"filter":{"name":"b","domain":"x.example","path":"/a"}})"));
}
