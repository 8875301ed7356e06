#include "keywords/KeywordMatcher.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using keywords::KeywordMatcher;

namespace {
std::vector<int> find(const KeywordMatcher& m, const QString& a, const QString& b) {
    std::vector<int> out;
    m.findAll(a, b, out);
    return out;
}
} // namespace

TEST(KeywordMatcher, FindsEveryKeywordOnceInListOrder) {
    KeywordMatcher m;
    m.build({"pub", "ads", "pub", "ub", "q", "publicity"});
    EXPECT_EQ(find(m, "http://ads.example/pub/", "le pub"), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(find(m, "nothing", "here"), std::vector<int>{});
    EXPECT_EQ(find(m, "", "publicity"), (std::vector<int>{0, 2, 3, 5}));
}

// An empty keyword (a blank line of the file) would close every window: it matches nothing.
TEST(KeywordMatcher, EmptyKeywordMatchesNothing) {
    KeywordMatcher m;
    m.build({"zz", "", "a"});
    EXPECT_EQ(m.keywordCount(), 3);
    EXPECT_EQ(find(m, "a", ""), std::vector<int>{2});
    EXPECT_EQ(find(m, "", "b"), std::vector<int>{});
    EXPECT_EQ(find(m, "zz", "a"), (std::vector<int>{0, 2}));
    KeywordMatcher onlyEmpty;
    onlyEmpty.build({""});
    EXPECT_EQ(find(onlyEmpty, "abc", "def"), std::vector<int>{});
    KeywordMatcher none;
    none.build({});
    EXPECT_EQ(find(none, "abc", "def"), std::vector<int>{});
}

TEST(KeywordMatcher, AgreesWithPlainSubstringSearch) {
    // Overlapping keywords over a small alphabet exercise the failure and output links.
    QRandomGenerator rng(42);
    auto word = [&](int maxLen) {
        QString s;
        const int len = int(rng.bounded(maxLen)) + 1;
        for (int i = 0; i < len; ++i)
            s += QChar(u'a' + char16_t(rng.bounded(3)));
        return s;
    };
    for (int round = 0; round < 50; ++round) {
        std::vector<QString> keywords;
        for (int i = 0; i < 40; ++i)
            keywords.push_back(word(5));
        KeywordMatcher m;
        m.build(keywords);
        for (int t = 0; t < 20; ++t) {
            const QString a = word(30), b = word(30);
            std::vector<int> expected;
            for (int i = 0; i < int(keywords.size()); ++i)
                if (a.contains(keywords[i]) || b.contains(keywords[i]))
                    expected.push_back(i);
            ASSERT_EQ(find(m, a, b), expected) << a.toStdString() << " " << b.toStdString();
        }
    }
}

TEST(KeywordMatcher, HandlesCharactersOutsideAscii) {
    KeywordMatcher m;
    m.build({QStringLiteral("été"), QStringLiteral("日本"), QStringLiteral("🙂")});
    EXPECT_EQ(find(m, QStringLiteral("un été chaud"), QStringLiteral("x🙂")),
              (std::vector<int>{0, 2}));
}
