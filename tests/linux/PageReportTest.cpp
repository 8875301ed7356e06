// What a watched page's script tells about the windows it refused itself: only exactly what
// the script sends is taken, the page being able to call the function with anything.

#include "platform/linux/CdpKeyState.h"

#include <gtest/gtest.h>

using platform::linuxp::parseRefusalReport;

TEST(PageRefusalReport, AcceptsOnlyWhatThePageScriptSends) {
    const auto good = parseRefusalReport(R"({"type":"refused","count":500,"url":"http://a/p"})");
    ASSERT_TRUE(good);
    EXPECT_EQ(good->count, 500);
    EXPECT_EQ(good->url, QStringLiteral("http://a/p"));
    EXPECT_TRUE(parseRefusalReport(R"({"type":"refused","count":1,"url":""})"));

    const QByteArray longUrl =
        "{\"type\":\"refused\",\"count\":1,\"url\":\"" + QByteArray(301, 'a') + "\"}";
    for (const QByteArray& bad : {
             QByteArray(R"({"type":"refused","count":0,"url":""})"),
             QByteArray(R"({"type":"refused","count":501,"url":""})"),
             QByteArray(R"({"type":"refused","count":1.5,"url":""})"),
             QByteArray(R"({"type":"refused","count":"3","url":""})"),
             QByteArray(R"({"type":"refused","count":3,"url":7})"),
             QByteArray(R"({"type":"refused","count":3})"),
             QByteArray(R"({"type":"refused","count":3,"url":"","more":1})"),
             QByteArray(R"({"type":"mouseup","count":3,"url":""})"),
             QByteArray(R"(["refused",3])"),
             QByteArray(""),
             longUrl,
         })
        EXPECT_FALSE(parseRefusalReport(bad)) << bad.constData();
}
