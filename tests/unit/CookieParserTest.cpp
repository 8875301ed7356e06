#include "cookies/CookieParser.h"

#include <gtest/gtest.h>

using namespace cookies;

namespace {

// A record of nine lines (eight line breaks) followed by its "*" line.
QString record(const QString& name, const QString& value, const QString& host,
               const QString& flags = QStringLiteral("0"), const QString& eol = "\r\n") {
    return name + eol + value + eol + host + eol + flags + eol + "1" + eol + "2" + eol + "3" + eol +
           "4" + eol + "*" + eol;
}

const QString kParent = QStringLiteral("/prog/Cookies/me@x.txt");

} // namespace

TEST(CookieParser, EveryRecordOfAFileGivesARowInFileOrder) {
    const QString text = record("id", "42", "x.com/", "0") + record("s", "abc", "y.fr/", "1") +
                         record("t", "v", "z.org/path/", "2");
    const auto rows = parseRecords(text, kParent);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (CookieRow{"x.com/", "id", "42", "False",
                                  "id\r\n42\r\nx.com/\r\n0\r\n1\r\n2\r\n3\r\n4\r\n", kParent}));
    EXPECT_EQ(rows[1].domain, "y.fr/");
    EXPECT_EQ(rows[1].name, "s");
    EXPECT_EQ(rows[1].secure, "True");
    // A later record's source starts with its own first line, not with the previous "*"
    // line's break.
    EXPECT_EQ(rows[1].source, "s\r\nabc\r\ny.fr/\r\n1\r\n1\r\n2\r\n3\r\n4\r\n");
    EXPECT_EQ(rows[2].domain, "z.org/path/");
    EXPECT_EQ(rows[2].secure, "");
    EXPECT_EQ(rows[2].cells(), QStringList({"z.org/path/", "t", "v", "", rows[2].source, kParent}));
}

TEST(CookieParser, ShortRecordsAndEmptyHostLinesAreDropped) {
    // Seven lines before the "*": too short. Eight lines: the shortest accepted record.
    const QString seven = "a\r\nb\r\nh/\r\n0\r\n1\r\n2\r\n3\r\n*\r\n";
    const QString eight = "a\r\nb\r\nh/\r\n0\r\n1\r\n2\r\n3\r\n4\r\n*\r\n";
    EXPECT_TRUE(parseRecords(seven, kParent).empty());
    ASSERT_EQ(parseRecords(eight, kParent).size(), 1u);
    // Without the final line break the ninth field is missing.
    EXPECT_TRUE(parseRecords("a\r\nb\r\nh/\r\n0\r\n1\r\n2\r\n3\r\n4*", kParent).empty());
    // An empty host line drops the record, and only that one.
    const auto rows = parseRecords(record("a", "b", "") + record("c", "d", "h/"), kParent);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "c");
    // Nothing at all, or only line breaks.
    EXPECT_TRUE(parseRecords("", kParent).empty());
    EXPECT_TRUE(parseRecords("\r\n*\r\n*", kParent).empty());
}

TEST(CookieParser, AStarInAValueCutsTheRecordAndTheRestStillParses) {
    const QString text = record("a", "x*y", "h/") + record("b", "v", "k/");
    const auto rows = parseRecords(text, kParent);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "b");
}

TEST(CookieParser, FlagsGiveTrueFalseOrNothing) {
    EXPECT_EQ(secureText("0"), "False");
    EXPECT_EQ(secureText("1"), "True");
    EXPECT_EQ(secureText("2"), "");
    EXPECT_EQ(secureText("1024"), "");
    EXPECT_EQ(secureText(" 1 "), "True");
    EXPECT_EQ(secureText("01"), "True");
    EXPECT_EQ(secureText(""), "");
    EXPECT_EQ(secureText("abc"), "");
    EXPECT_EQ(secureText("99999999999999999999999"), "");
    const auto rows =
        parseRecords(record("a", "b", "h/", "1024") + record("c", "d", "k/", "1"), kParent);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].secure, "");
    EXPECT_EQ(rows[1].secure, "True");
}

TEST(CookieParser, FlagsAreReadByTheirValueHoweverWritten) {
    EXPECT_EQ(secureText("1.0"), "True");
    EXPECT_EQ(secureText("1e0"), "True");
    EXPECT_EQ(secureText("+1"), "True");
    EXPECT_EQ(secureText("0.00"), "False");
    EXPECT_EQ(secureText("-0"), "False");
    EXPECT_EQ(secureText("1.5"), "");
    EXPECT_EQ(secureText("1,0"), "");
    EXPECT_EQ(secureText("0x1"), "");
    EXPECT_EQ(secureText("inf"), "");
    EXPECT_EQ(secureText("nan"), "");
    const auto rows = parseRecords(record("a", "b", "h/", "1.0"), kParent);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].secure, "True");
}

TEST(CookieParser, BlanksAreTrimmedOnlyAtTheEndsOfEachPiece) {
    // Before the first record's name: removed. Inside lines: kept. Before a later record's
    // name (after the "*" line's break): kept. At the end of the piece: removed.
    const QString text = "  a \r\nv  w\r\nh/\r\n0\r\n1\r\n2\r\n3\r\n4\r\n  *\r\n"
                         "  b\r\nv\r\nk/\r\n0\r\n1\r\n2\r\n3\r\n4\r\n*\r\n";
    const auto rows = parseRecords(text, kParent);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, "a ");
    EXPECT_EQ(rows[0].value, "v  w");
    EXPECT_EQ(rows[0].source, "a \r\nv  w\r\nh/\r\n0\r\n1\r\n2\r\n3\r\n4\r\n");
    EXPECT_EQ(rows[1].name, "  b");
    // Tabs are not blanks.
    const auto tabbed = parseRecords("\ta\r\nv\r\nh/\r\n0\r\n1\r\n2\r\n3\r\n4\r\n*", kParent);
    ASSERT_EQ(tabbed.size(), 1u);
    EXPECT_EQ(tabbed[0].name, "\ta");
}

TEST(CookieParser, BareLineFeedsAreLineBreaksToo) {
    const QString text = record("a", "1", "h/", "1", "\n") + record("b", "2", "k/", "0", "\n");
    const auto rows = parseRecords(text, kParent);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, "a");
    EXPECT_EQ(rows[0].source, "a\n1\nh/\n1\n1\n2\n3\n4\n");
    EXPECT_EQ(rows[1].name, "b");
    EXPECT_EQ(rows[1].domain, "k/");
    EXPECT_EQ(rows[1].secure, "False");
}

TEST(CookieParser, DisassembleDropsOneLeadingBreakFromTheRecord) {
    QString src = "|~|n|~|v|~|h/|~|1|~|5|~|6|~|7|~|8|~|";
    const auto row = parseRecord(src, kParent);
    ASSERT_TRUE(row);
    EXPECT_EQ(src, "n|~|v|~|h/|~|1|~|5|~|6|~|7|~|8|~|");
    EXPECT_EQ(row->name, "n");
    EXPECT_EQ(row->source, "n\r\nv\r\nh/\r\n1\r\n5\r\n6\r\n7\r\n8\r\n");
    // Two leading breaks: the second one makes the name empty and shifts nothing else.
    QString two = "|~||~|v|~|h/|~|0|~|5|~|6|~|7|~|8|~|";
    const auto shifted = parseRecord(two, kParent);
    ASSERT_TRUE(shifted);
    EXPECT_EQ(shifted->name, "");
    EXPECT_EQ(shifted->value, "v");
    QString empty;
    EXPECT_FALSE(parseRecord(empty, kParent));
}

TEST(CookieParser, DamagedFilesParseWithoutHarm) {
    // NUL bytes stay part of the texts.
    QString withNul = record(QString("a") + QChar(0) + "b", "v", "h/");
    auto rows = parseRecords(withNul, kParent);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name.size(), 3);
    // No "*" at all: the whole text is one piece.
    QString noStar;
    for (int i = 0; i < 20000; ++i)
        noStar += "line\r\n";
    rows = parseRecords(noStar, kParent);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].source.size(), noStar.size());
    // A record of thousands of lines keeps them all in its source.
    rows = parseRecords(noStar + "*\r\n" + record("a", "b", "h/"), kParent);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].name, "a");
    // Only stars.
    EXPECT_TRUE(parseRecords(QString(10000, u'*'), kParent).empty());
}

TEST(CookieParser, TheAnalysisBoxTurnsBareLineFeedsIntoCrLf) {
    EXPECT_EQ(analysisText("a\nb\r\nc\rd\n\n"), "a\r\nb\r\nc\rd\r\n\r\n");
    EXPECT_EQ(analysisText(""), "");
    // Not UTF-8: read as Windows-1252.
    EXPECT_EQ(analysisText("caf\xe9\n"), QString::fromUtf8("café\r\n"));
    EXPECT_EQ(analysisText(QByteArray("a\0b", 3)).size(), 3);
}
