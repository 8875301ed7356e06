#include "cookies/CookieParser.h"

#include <gtest/gtest.h>

using cookies::decodeValue;

namespace {
QString decoded(QString text) {
    return decodeValue(text);
}
} // namespace

TEST(CookieDecode, DecodesTheTableInPlace) {
    QString value = "a+b%3Dc%26d";
    EXPECT_EQ(decodeValue(value), "a b=c&d");
    EXPECT_EQ(value, "a b=c&d");
    EXPECT_EQ(decoded("%0D%0A"), "  ");
    EXPECT_EQ(decoded("me%40x%2Ecom"), "me@x.com");
    EXPECT_EQ(decoded("%7C%7E%24%5E%28%29%60%2F%3F%3C%3E%5C%3A%21%5B%5D%22%5F%2D"),
              "|~$^()`/?<>\\:![]\"_-");
}

TEST(CookieDecode, OnlyListedUpperCaseEscapesAreDecoded) {
    EXPECT_EQ(decoded("%2b"), "%2b");
    EXPECT_EQ(decoded("%3d%41%20"), "%3d%41%20");
    EXPECT_EQ(decoded(""), "");
    EXPECT_EQ(decoded("%"), "%");
}

TEST(CookieDecode, TheOrderOfTheTableDecidesWhatIsDecodedTwice) {
    // The plus sign goes first, so an encoded plus survives.
    EXPECT_EQ(decoded("1%2B1+2"), "1+1 2");
    // "%25" is decoded in the middle of the table: later rows see its result, earlier don't.
    EXPECT_EQ(decoded("%253D"), "=");
    EXPECT_EQ(decoded("%2540"), "%40");
    // Pressing "Decoder" twice decodes the held value again.
    QString held = "%2541";
    EXPECT_EQ(decodeValue(held), "%41");
    EXPECT_EQ(decodeValue(held), "%41");
    held = "%2525";
    EXPECT_EQ(decodeValue(held), "%25");
    EXPECT_EQ(decodeValue(held), "%");
}
