#include "platform/NamePattern.h"

#include <gtest/gtest.h>

using platform::NamePattern;

namespace {
bool match(const char* pattern, const QString& name) {
    return NamePattern(QString::fromUtf8(pattern)).matches(name);
}
} // namespace

TEST(NamePattern, LiteralNamesMatchWholeAndWithoutRegardToCase) {
    EXPECT_TRUE(match("tsadbot.exe", "TSADBOT.EXE"));
    EXPECT_TRUE(match("ADVERT.DLL", "advert.dll"));
    EXPECT_TRUE(match("NewsUpd.ex", "newsupd.ex"));
    EXPECT_FALSE(match("NewsUpd.ex", "NewsUpd.exe"));
    EXPECT_FALSE(match("fsg.exe", "xfsg.exe"));
    EXPECT_TRUE(match("Éclair.exe", "éCLAIR.EXE"));
    // An empty entry names nothing, not every file.
    EXPECT_FALSE(match("", ""));
    EXPECT_FALSE(match("", "a"));
}

TEST(NamePattern, StarTakesAnyRunAndQuestionMarkExactlyOneCharacter) {
    EXPECT_TRUE(match("*.jse", "a.JSE"));
    EXPECT_TRUE(match("*.jse", ".jse"));
    EXPECT_FALSE(match("*.jse", "a.jsex"));
    EXPECT_FALSE(match("*.jse", "a.js"));
    EXPECT_TRUE(match("GAIN_TRICKLER_*.EXE", "gain_trickler_.exe"));
    EXPECT_TRUE(match("GAIN_TRICKLER_*.EXE", "Gain_Trickler_3012.exe"));
    EXPECT_FALSE(match("GAIN_TRICKLER_*.EXE", "Gain_Trickler_3012.exe.txt"));
    EXPECT_TRUE(match("gsc?.txt", "GSC0.TXT"));
    EXPECT_FALSE(match("gsc?.txt", "gsc.txt"));
    EXPECT_FALSE(match("gsc?.txt", "gsc10.txt"));
    EXPECT_TRUE(match("*", "anything"));
    EXPECT_TRUE(match("**a**", "bab"));
    EXPECT_TRUE(match("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(match("a*b*c", "aXbYbZ"));
    EXPECT_TRUE(match("*?", "x"));
    EXPECT_FALSE(match("?*?", "x"));
}

TEST(NamePattern, ManyStarsAgainstALongNameStayFast) {
    // Backtracking over every star would take ages here; the greedy walk does not.
    const QString name = QString(5000, u'a');
    EXPECT_FALSE(match("*a*a*a*a*a*a*a*a*a*a*a*a*b", name));
    EXPECT_TRUE(match("*a*a*a*a*a*a*a*a*a*a*a*a*", name));
}

TEST(NamePattern, FoldedNamesServeManyPatterns) {
    const QString folded = NamePattern::fold(u"WinSys.VBS");
    EXPECT_TRUE(NamePattern(QStringLiteral("WINSYS.VBS")).matchesFolded(folded));
    EXPECT_TRUE(NamePattern(QStringLiteral("*.vbs")).matchesFolded(folded));
    EXPECT_FALSE(NamePattern(QStringLiteral("WINSYS.VBA")).matchesFolded(folded));
}

TEST(NamePattern, CookieFilePatternMatchesWholeNamesOnly) {
    EXPECT_TRUE(match("*.txt", "ME@X.TXT"));
    EXPECT_TRUE(match("*.txt", ".txt"));
    EXPECT_TRUE(match("*.txt", "a.txt.txt"));
    EXPECT_FALSE(match("*.txt", "me.txt.bak"));
    EXPECT_FALSE(match("*.txt", "metxt"));
}
