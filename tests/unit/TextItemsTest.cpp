#include "keywords/TextItems.h"

#include <gtest/gtest.h>

using namespace keywords;

TEST(ItemReader, SeparatesByCommasAndEveryKindOfLineEnd) {
    EXPECT_EQ(ItemReader("a\r\nb\r\nc\r\n").all(), QStringList({"a", "b", "c"}));
    EXPECT_EQ(ItemReader("a\rb\nc").all(), QStringList({"a", "b", "c"}));
    EXPECT_EQ(ItemReader(",x\r\n").all(), QStringList({"", "x"}));
    EXPECT_EQ(ItemReader("a,\r\n").all(), QStringList({"a", ""}));
    EXPECT_EQ(ItemReader("\r\n").all(), QStringList({""}));
    EXPECT_EQ(ItemReader("").all(), QStringList());
    EXPECT_EQ(ItemReader("a\r\n\r\n").all(), QStringList({"a", ""}));
    EXPECT_EQ(ItemReader("  \t \r\n").all(), QStringList({""}));
}

TEST(ItemReader, TrimsUnquotedItemsAndKeepsQuotedOnesWhole) {
    EXPECT_EQ(ItemReader("  pub  , ad \r\n").all(), QStringList({"pub", "ad"}));
    EXPECT_EQ(ItemReader("\"a,b\"\r\n").all(), QStringList({"a,b"}));
    EXPECT_EQ(ItemReader("\" a \"\r\n").all(), QStringList({" a "}));
    // The rest of a quoted field up to its comma or line end is skipped.
    EXPECT_EQ(ItemReader("\"pub\"junk,\"3\"\r\n").all(), QStringList({"pub", "3"}));
    // A line end inside quotes belongs to the item; a quote that never closes runs to the end.
    EXPECT_EQ(ItemReader("\"a\r\nb\"\r\n").all(), QStringList({"a\r\nb"}));
    EXPECT_EQ(ItemReader("\"never closed\r\nx").all(), QStringList({"never closed\r\nx"}));
    EXPECT_EQ(ItemReader("127.0.0.1 ads.example\r\n").all(),
              QStringList({"127.0.0.1 ads.example"}));
}

TEST(ItemReader, SurvivesHostileInput) {
    QString nul = QStringLiteral("a");
    nul += QChar(0);
    nul += QStringLiteral("b\r\nc");
    EXPECT_EQ(ItemReader(nul).all().size(), 2);
    const QString huge(4 * 1024 * 1024, u'x');
    EXPECT_EQ(ItemReader(huge + "\r\ny").all(), QStringList({huge, "y"}));
}

TEST(WritingForms, PlainQuotesOnlyWhatWouldNotReadBack) {
    EXPECT_EQ(plainLine("pub"), "pub\r\n");
    EXPECT_EQ(plainLine(""), "\r\n");
    EXPECT_EQ(plainLine("a,b"), "\"a,b\"\r\n");
    EXPECT_EQ(plainLine(" pub"), "\" pub\"\r\n");
    EXPECT_EQ(quotedLine("a\"b"), "\"a\"b\"\r\n");
    EXPECT_EQ(quotedLine(""), "\"\"\r\n");
    for (const QString& kw : {QString("a,b"), QString(" x "), QString("plain"), QString("")}) {
        EXPECT_EQ(ItemReader(plainLine(kw)).all(), QStringList({kw})) << kw.toStdString();
        EXPECT_EQ(ItemReader(quotedLine(kw)).all(), QStringList({kw})) << kw.toStdString();
    }
}

TEST(LeadingInteger, TakesTheNumberAtTheStart) {
    EXPECT_EQ(leadingInteger("3"), 3);
    EXPECT_EQ(leadingInteger("  12abc"), 12);
    EXPECT_EQ(leadingInteger("abc"), 0);
    EXPECT_EQ(leadingInteger(""), 0);
    EXPECT_EQ(leadingInteger("1 2"), 12);
    EXPECT_EQ(leadingInteger("40000"), 40000);
    EXPECT_EQ(leadingInteger("-5"), -5);
    EXPECT_EQ(leadingInteger("99999999999999999999999"), std::numeric_limits<qint64>::max());
}
