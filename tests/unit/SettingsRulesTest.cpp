#include "app/SettingsModule.h"
#include "app/Switches.h"

#include <gtest/gtest.h>

using namespace app;

TEST(NumericPrefix, TakesTheLongestLeadingDecimalNumber) {
    EXPECT_EQ(numericPrefix("250"), 250);
    EXPECT_EQ(numericPrefix("  \t42px"), 42);
    EXPECT_EQ(numericPrefix("2.6"), 2.6);
    EXPECT_EQ(numericPrefix(".5"), 0.5);
    EXPECT_EQ(numericPrefix("7."), 7);
    EXPECT_EQ(numericPrefix("-3"), -3);
    EXPECT_EQ(numericPrefix("+12"), 12);
    EXPECT_EQ(numericPrefix("1 2"), 1);
    EXPECT_EQ(numericPrefix("1.2.3"), 1.2);
    EXPECT_EQ(numericPrefix("1e3"), 1);
    EXPECT_EQ(numericPrefix("000120"), 120);
}

TEST(NumericPrefix, TextWithoutANumberCountsAsZero) {
    for (const char* text : {"", "abc", "   ", "-", ".", "+.", "x1", "\n1", "\x01", "\u0663"})
        EXPECT_EQ(numericPrefix(QString::fromUtf8(text)), 0) << text;
}

TEST(NumericPrefix, HugeNumbersStayFinite) {
    const QString many(5000, u'9');
    EXPECT_GT(numericPrefix(many), 1e18);
    EXPECT_LT(numericPrefix(u'-' + many), -1e18);
    EXPECT_EQ(nearestInteger(numericPrefix(many)), qint64(1e18));
    EXPECT_EQ(numericPrefix(QStringLiteral("1.") + many), 2);
}

TEST(NearestInteger, RoundsHalvesToEven) {
    EXPECT_EQ(nearestInteger(2.6), 3);
    EXPECT_EQ(nearestInteger(2.4), 2);
    EXPECT_EQ(nearestInteger(2.5), 2);
    EXPECT_EQ(nearestInteger(1.5), 2);
    EXPECT_EQ(nearestInteger(-0.4), 0);
    EXPECT_EQ(nearestInteger(-1.6), -2);
}

TEST(IntegerText, NeedsTheWholeTextToBeANumber) {
    EXPECT_EQ(integerText("1"), 1);
    EXPECT_EQ(integerText(" 0 "), 0);
    EXPECT_EQ(integerText("1.6"), 2);
    EXPECT_EQ(integerText("-2"), -2);
    EXPECT_EQ(integerText("x"), std::nullopt);
    EXPECT_EQ(integerText(""), std::nullopt);
    EXPECT_EQ(integerText("1x"), std::nullopt);
    EXPECT_EQ(integerText("1 1"), std::nullopt);
    EXPECT_EQ(integerText("."), std::nullopt);
    EXPECT_EQ(integerText(QString(40, u'9')), qint64(1e18));
}

TEST(Limits, OnlySixteenBitValuesAreKept) {
    EXPECT_EQ(limitFromNumber(250), 250);
    EXPECT_EQ(limitFromNumber(2.6), 3);
    EXPECT_EQ(limitFromNumber(32767), 32767);
    EXPECT_EQ(limitFromNumber(-32768), -32768);
    EXPECT_EQ(limitFromNumber(32767.5), 0);
    EXPECT_EQ(limitFromNumber(32768), 0);
    EXPECT_EQ(limitFromNumber(-32769), 0);
    EXPECT_EQ(limitFromNumber(1e30), 0);
}

TEST(NumberText, ShowsPlainDecimals) {
    EXPECT_EQ(numberText(250), "250");
    EXPECT_EQ(numberText(2.6), "2.6");
    EXPECT_EQ(numberText(-0.0), "0");
    EXPECT_EQ(numberText(-3), "-3");
    EXPECT_EQ(numberText(0.0000001), "0.0000001");
    EXPECT_EQ(numberText(32767.1), "32767.1");
    // What is shown reads back as the same number.
    for (double x : {2.6, 0.5, 1234.25, 0.0000001, 99.99})
        EXPECT_EQ(numericPrefix(numberText(x)), x) << x;
}

TEST(SizeBoxes, TakeDigitsAndBackspaceOnly) {
    for (QChar c : QStringLiteral("0123456789\b"))
        EXPECT_TRUE(Switches::acceptsSizeKey(c));
    for (QChar c : QStringLiteral("-+.a ,\t\r\u0663\u00b2"))
        EXPECT_FALSE(Switches::acceptsSizeKey(c)) << int(c.unicode());
}
