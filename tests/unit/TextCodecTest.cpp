#include "platform/TextCodec.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <random>

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
    // Windows-1252 bytes that would form UTF-8 are not written: the text goes out as UTF-8.
    EXPECT_EQ(encodeText(QStringLiteral("Ã©")), QByteArray("\xc3\x83\xc2\xa9"));
    EXPECT_EQ(decodeText(encodeText(QStringLiteral("Ã©"))), QStringLiteral("Ã©"));
    // A text that begins with U+FEFF keeps it: a byte order mark goes before it.
    const QString bom = QStringLiteral("\uFEFFpub");
    EXPECT_EQ(encodeText(bom), QByteArray("\xef\xbb\xbf\xef\xbb\xbfpub"));
    EXPECT_EQ(decodeText(encodeText(bom)), bom);
    // Files written by hand with a byte order mark read without it.
    EXPECT_EQ(decodeText("\xef\xbb\xbfpub"), QStringLiteral("pub"));

    // Any text made of these pieces reads back as written.
    const QStringList pieces{"a",      "Ã",    "©",  "é",          "€",    "\u00A0", "\u00FF", "Â",
                             "\uFEFF", "\r\n", "日", "\U0001F600", "\x81", "ð",      "Ÿ"};
    std::mt19937 rng(5);
    for (int round = 0; round < 3000; ++round) {
        QString text;
        const int n = int(rng() % 6);
        for (int i = 0; i < n; ++i)
            text += pieces.at(int(rng() % pieces.size()));
        ASSERT_EQ(decodeText(encodeText(text)), text) << text.toStdString();
    }
}

TEST(TextCodec, CopiesAsciiAndTellsAnythingElse) {
    char out[8] = {};
    EXPECT_TRUE(platform::copyAscii(out, u"cd\x7f"));
    EXPECT_EQ(QByteArray(out, 3), QByteArray("cd\x7f"));
    for (QStringView wider : {QStringView(u"caf\u00e9"), QStringView(u"\u0080"),
                              QStringView(u"x\u20ac"), QStringView(u"\u0100")})
        EXPECT_FALSE(platform::copyAscii(out, wider));
    EXPECT_TRUE(platform::copyAscii(out, QStringView()));
}
