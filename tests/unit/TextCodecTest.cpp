#include "platform/TextCodec.h"

#include <gtest/gtest.h>

using platform::decodeText;
using platform::encodeText;

TEST(TextCodec, ReadsUtf8WhenValidElseWindows1252) {
    EXPECT_EQ(decodeText("caf\xc3\xa9"), QStringLiteral("café"));
    EXPECT_EQ(decodeText("caf\xe9"), QStringLiteral("café"));
    EXPECT_EQ(decodeText("\x80"), QStringLiteral("€"));
    EXPECT_EQ(decodeText(""), QString());
    // One bad sequence makes the whole text Windows-1252, even where it looked like UTF-8.
    EXPECT_EQ(decodeText("\xc3\xa9t\xe9"), QStringLiteral("Ã©té"));
    // A multi-byte sequence cut at the end is not UTF-8.
    EXPECT_EQ(decodeText("caf\xc3"), QStringLiteral("cafÃ"));
}

TEST(TextCodec, WritesWindows1252WhenEveryCharacterFitsElseUtf8) {
    EXPECT_EQ(encodeText(QStringLiteral("café €")), QByteArray("caf\xe9 \x80"));
    EXPECT_EQ(encodeText(QStringLiteral("œuvre “pub”")), QByteArray("\x9cuvre \x93pub\x94"));
    EXPECT_EQ(encodeText(QStringLiteral("日本")), QStringLiteral("日本").toUtf8());
    // One character beyond Windows-1252 turns the whole text to UTF-8.
    EXPECT_EQ(encodeText(QStringLiteral("café 日本")), QStringLiteral("café 日本").toUtf8());
    EXPECT_EQ(encodeText(QString()), QByteArray());
}

TEST(TextCodec, WhatIsWrittenReadsBackTheSame) {
    for (const QString& text : {QStringLiteral("plain, ascii\r\n"), QStringLiteral("été à 5 €"),
                                QStringLiteral("日本 é"), QStringLiteral("\U0001F600 emoji")})
        EXPECT_EQ(decodeText(encodeText(text)), text) << text.toStdString();
    // The one exception: Windows-1252 bytes that happen to form UTF-8 read as UTF-8.
    EXPECT_EQ(encodeText(QStringLiteral("Ã©")), QByteArray("\xc3\xa9"));
    EXPECT_EQ(decodeText(encodeText(QStringLiteral("Ã©"))), QStringLiteral("é"));
}
